#pragma once
// A sweeping strip chart (the picture boxes pic1 and pic2). It does not scroll: a
// write position runs from left to right over 350 sample units, erases a
// one-sample strip ahead of itself, draws a light cursor line there and joins the
// new point to the previous one; past the right edge it starts again at the left.
// Each sample is drawn once into a backing image through the chart's world
// transform, and only the few pixels that changed are repainted.
//
// A paused chart shows the picture of the moment it was paused while the sweep
// goes on drawing behind it; resuming shows the sweep where it stands.
#include "ChartSnapshot.h"

#include <QColor>
#include <QImage>
#include <QTransform>
#include <QWidget>
#include <optional>

namespace gyro {

class StripChart final : public QWidget {
    Q_OBJECT
public:
    static constexpr int SweepWidth = 350; // horizontal extent in sample units
    static inline const QColor Background{192, 192, 192};
    static inline const QColor CursorColor{215, 215, 215};

    explicit StripChart(QWidget* parent = nullptr);

    void setTraceColor(const QColor& color) { current_.traceColor = color; }
    QColor traceColor() const { return current_.traceColor; }

    // Draws one sample y on the range hiPk (top) to lowPk (bottom). A range of
    // zero height is repaired by setting lowPk to -1, in the caller's variable.
    void plot(double y, double hiPk, double& lowPk);

    // Where the sweep stands: the position of the last point drawn (0..350) and its value.
    int position() const { return position_; }
    int previousPosition() const { return previousPosition_; }
    double previousValue() const { return previousValue_; }
    bool initialised() const { return initialised_; }

    // A point of the widget in the chart's coordinates: sample units and engineering
    // units once a sample set them, the widget's own pixels before that.
    QPointF toChartCoordinates(const QPointF& widgetPoint) const;

    // The backing image (in device pixels, ratio() of them per widget pixel) and the colour drawn at a chart
    // point.
    const QImage& image() const { return current_.image; }
    QColor colorAt(double x, double y) const;

    // Pausing freezes what the widget shows; plot() goes on drawing unseen.
    void setPaused(bool paused);
    bool paused() const { return frozen_.has_value(); }
    // What the widget shows: the frozen moment while paused, else the sweep now.
    const ChartSnapshot& onScreen() const { return frozen_ ? *frozen_ : current_; }

    QSize sizeHint() const override { return {SweepWidth + 2, 150}; }
    QSize minimumSizeHint() const override { return {SweepWidth / 2, 60}; }

signals:
    // The pointer moved over the chart; x and y in the chart's coordinates.
    void chartMouseMove(double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void fitImageToWidget();
    void setRange(double hiPk, double lowPk);
    QRect toWidgetRect(const QRect& imageRect) const;

    ChartSnapshot current_;
    std::optional<ChartSnapshot> frozen_;
    double ratio_ = 1.0; // image pixels per widget pixel
    QTransform world_;   // chart coordinates -> image pixels
    double hiPk_ = 1.0;
    double lowPk_ = 0.0;
    int position_ = 0;
    int previousPosition_ = 0;
    double previousValue_ = 0.0;
    bool initialised_ = false;
};

} // namespace gyro
