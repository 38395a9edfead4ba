#pragma once
// A control that shows one plot of a noise analysis, drawn by the shared drawing
// code (the same picture as an exported PNG or SVG), or a hint while there is none.
#include "AnalysisPlot.h"

#include <QWidget>

namespace gyro {

class PlotView : public QWidget {
    Q_OBJECT

public:
    PlotView(analysis::PlotKind kind, QWidget* parent = nullptr);
    // The analysis to draw (owned by the window; null: nothing yet).
    void setAnalysis(const analysis::NoiseAnalysis* analysis);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    analysis::PlotKind kind_;
    const analysis::NoiseAnalysis* analysis_ = nullptr;
};

} // namespace gyro
