#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace gyro {

// Lets a window repaint at most once per frame interval. A loop that changes the
// window's labels and charts hundreds of times a second and yields to the window
// system after each pass would otherwise repaint on every pass, far more often
// than any display shows; here the changes gather and are painted together at
// the next frame. Nothing is lost: a held-back repaint is asked for again when
// the interval has passed, covering everything marked since.
class PaintPacer final : public QObject {
public:
    PaintPacer(QWidget* window, int frameIntervalMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void repaintHeldBack();

    QWidget* window_;
    int frameIntervalMs_;
    QElapsedTimer sinceLastPaint_;
    QTimer heldBack_;
    bool releasing_ = false;
};

} // namespace gyro
