#pragma once
// The sample-number axis under the strip charts. Its children that carry a
// "sample" property (the marks lblPlotX_0..4 and their tick lines LineX_0..4) are
// placed where that sample is drawn on a chart of the same width.
#include <QWidget>

namespace gyro {

class SampleAxis final : public QWidget {
    Q_OBJECT
public:
    explicit SampleAxis(QWidget* parent = nullptr) : QWidget(parent) {}
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void placeMarks();
};

} // namespace gyro
