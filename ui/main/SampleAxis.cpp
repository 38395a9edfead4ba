#include "SampleAxis.h"

#include "StripChart.h"

#include <QFrame>
#include <QLabel>
#include <algorithm>

namespace gyro {

namespace {
constexpr int TickLength = 5;
}

QSize SampleAxis::minimumSizeHint() const
{
    return {StripChart::SweepWidth / 2, TickLength + fontMetrics().height() + 2};
}

void SampleAxis::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeMarks();
}

void SampleAxis::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    placeMarks();
}

void SampleAxis::placeMarks()
{
    const double unit = (width() - 1) / static_cast<double>(StripChart::SweepWidth);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QVariant sample = child->property("sample");
        if (!sample.isValid())
            continue;
        const int x = static_cast<int>(sample.toDouble() * unit + 0.5);
        if (qobject_cast<QLabel*>(child) != nullptr) {
            child->adjustSize();
            const int left = std::clamp(x - child->width() / 2, 0, std::max(0, width() - child->width()));
            child->move(left, TickLength);
        } else {
            child->setGeometry(x, 0, 1, TickLength);
        }
    }
}

} // namespace gyro
