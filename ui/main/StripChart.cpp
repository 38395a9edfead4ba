#include "StripChart.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace gyro {

StripChart::StripChart(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    // paintEvent covers every pixel from the backing image.
    setAttribute(Qt::WA_OpaquePaintEvent);
    current_.image = QImage(QSize(std::max(width(), 1), std::max(height(), 1)), QImage::Format_RGB32);
    current_.image.fill(Background);
    setRange(hiPk_, lowPk_);
}

void StripChart::setRange(double hiPk, double lowPk)
{
    hiPk_ = hiPk;
    lowPk_ = lowPk;
    // Position 0..350 spans the image from its first to its last column, the top
    // value lands on the first row and the bottom value on the last.
    const double sx = (current_.image.width() - 1) / static_cast<double>(SweepWidth);
    const double sy = (current_.image.height() - 1) / (hiPk - lowPk);
    world_ = QTransform(sx, 0, 0, -sy, 0, hiPk * sy);
}

void StripChart::plot(double y, double hiPk, double& lowPk)
{
    fitImageToWidget();
    if (!initialised_) {
        previousValue_ = 0.0;
        initialised_ = true;
    }
    if (hiPk - lowPk == 0)
        lowPk = -1;
    // With a top of -1 the repaired range still has no height; draw one unit high
    // rather than divide by zero.
    setRange(hiPk, hiPk - lowPk == 0 ? hiPk - 1 : lowPk);

    ++position_;
    if (position_ > SweepWidth) {
        position_ = 0;
        previousPosition_ = 0;
    }

    // Erase the strip from this position to the next, then draw the cursor on the
    // next one; both in whole image columns so the next erase removes the cursor.
    const int lastColumn = current_.image.width() - 1;
    const int stripLeft = static_cast<int>(std::lround(world_.m11() * position_));
    const int cursorColumn = static_cast<int>(std::lround(world_.m11() * (position_ + 1)));
    const int fillFrom = std::clamp(stripLeft, 0, lastColumn);
    const int fillTo = std::clamp(cursorColumn, 0, lastColumn);
    const QRgb background = Background.rgb();
    const QRgb cursor = CursorColor.rgb();
    const bool cursorVisible = cursorColumn <= lastColumn;
    for (int row = 0; row < current_.image.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(current_.image.scanLine(row));
        std::fill(line + fillFrom, line + fillTo + 1, background);
        if (cursorVisible)
            line[cursorColumn] = cursor;
    }

    {
        QPainter painter(&current_.image);
        painter.setTransform(world_);
        painter.setPen(QPen(current_.traceColor, 0)); // cosmetic: one pixel at any scale
        painter.drawLine(QPointF(previousPosition_, previousValue_), QPointF(position_, y));
    }

    const int traceLeft = static_cast<int>(std::floor(world_.m11() * previousPosition_)) - 1;
    const int dirtyLeft = std::clamp(std::min(traceLeft, fillFrom), 0, lastColumn);
    if (!frozen_) // a paused chart's picture does not change
        update(toWidgetRect(QRect(dirtyLeft, 0, fillTo - dirtyLeft + 1, current_.image.height())));

    ChartSample& sample = current_.samples[static_cast<std::size_t>(position_)];
    sample = {y, static_cast<double>(previousPosition_), previousValue_, hiPk_, lowPk_, ++current_.drawn};
    current_.position = position_;

    previousPosition_ = position_;
    previousValue_ = y;
}

void StripChart::setPaused(bool paused)
{
    if (paused == this->paused())
        return;
    if (paused)
        frozen_ = current_;
    else
        frozen_.reset();
    update();
}

QPointF StripChart::toChartCoordinates(const QPointF& widgetPoint) const
{
    if (!initialised_)
        return widgetPoint;
    return world_.inverted().map(widgetPoint * ratio_);
}

QColor StripChart::colorAt(double x, double y) const
{
    const QPoint pixel = world_.map(QPointF(x, y)).toPoint();
    if (!current_.image.rect().contains(pixel))
        return {};
    return current_.image.pixelColor(pixel);
}

QRect StripChart::toWidgetRect(const QRect& imageRect) const
{
    if (ratio_ == 1.0)
        return imageRect;
    return QRectF(QPointF(imageRect.topLeft()) / ratio_, QSizeF(imageRect.size()) / ratio_).toAlignedRect();
}

void StripChart::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (frozen_) {
        // Stretched should the widget have been resized since the pause.
        painter.drawImage(QRectF(rect()), frozen_->image);
        return;
    }
    const QRect target = event->rect();
    const QRectF source(QPointF(target.topLeft()) * ratio_, QSizeF(target.size()) * ratio_);
    painter.drawImage(QRectF(target), current_.image, source);
}

void StripChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitImageToWidget();
}

// A hidden widget gets its resize event only when shown; drawing must not wait.
void StripChart::fitImageToWidget()
{
    const double ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    if (pixels == current_.image.size())
        return;
    // Keep what is drawn, stretched to the new size; the sweep goes on from where it was.
    QImage resized(pixels, QImage::Format_RGB32);
    resized.fill(Background);
    {
        QPainter painter(&resized);
        painter.drawImage(QRect(QPoint(0, 0), pixels), current_.image);
    }
    current_.image = resized;
    ratio_ = ratio;
    setRange(hiPk_, lowPk_);
}

void StripChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF point = toChartCoordinates(event->position());
    emit chartMouseMove(point.x(), point.y());
    QWidget::mouseMoveEvent(event);
}

} // namespace gyro
