#include "PaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace gyro {

PaintPacer::PaintPacer(QWidget* window, int frameIntervalMs)
    : QObject(window), window_(window), frameIntervalMs_(frameIntervalMs)
{
    heldBack_.setSingleShot(true);
    connect(&heldBack_, &QTimer::timeout, this, &PaintPacer::repaintHeldBack);
    window->installEventFilter(this);
}

// Qt paints a window's dirty areas when the window gets an update request; one
// request stands for all areas marked until it is handled, so holding it back
// holds back the painting, not the marking.
bool PaintPacer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_ || event->type() != QEvent::UpdateRequest || releasing_)
        return false;
    if (heldBack_.isActive())
        return true; // a repaint is already due at the next frame
    if (sinceLastPaint_.isValid() && sinceLastPaint_.elapsed() < frameIntervalMs_) {
        heldBack_.start(frameIntervalMs_ - static_cast<int>(sinceLastPaint_.elapsed()));
        return true;
    }
    sinceLastPaint_.start();
    return false;
}

void PaintPacer::repaintHeldBack()
{
    sinceLastPaint_.start();
    QEvent request(QEvent::UpdateRequest);
    releasing_ = true; // past the filter: this is the paint that was held back
    QCoreApplication::sendEvent(window_, &request);
    releasing_ = false;
}

} // namespace gyro
