#include "PlotView.h"

#include <QPainter>

namespace gyro {

PlotView::PlotView(analysis::PlotKind kind, QWidget* parent) : QWidget(parent), kind_(kind)
{
    setMinimumSize(480, 320);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PlotView::setAnalysis(const analysis::NoiseAnalysis* analysis)
{
    analysis_ = analysis;
    update();
}

void PlotView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (analysis_ == nullptr) {
        painter.fillRect(rect(), palette().base());
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Open a log file to see its noise"));
        return;
    }
    analysis::DrawPlots(painter, QRectF(rect()), *analysis_, kind_);
}

} // namespace gyro
