#pragma once
// The noise analysis drawn with QPainter, for any paint device: the window's plot
// controls, a PNG image and an SVG file all show the same picture. The Allan plot
// is log-log with the confidence band, the fitted -1/2, 0 and +1/2 lines and the
// marked N, B and K; the spectrum plot shows the one-sided density and the
// white-noise level.
#include "NoiseAnalysis.h"

#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace gyro::analysis {

enum class PlotKind { Allan, Spectrum, Both };

void DrawAllanPlot(QPainter& painter, const QRectF& area, const NoiseAnalysis& a);
void DrawSpectrumPlot(QPainter& painter, const QRectF& area, const NoiseAnalysis& a);
// The kinds asked for (the spectrum only when there is one), stacked in `area`.
void DrawPlots(QPainter& painter, const QRectF& area, const NoiseAnalysis& a, PlotKind kind);

// The picture's size for a kind: 1000 x 700 a plot.
QSize PlotSize(const NoiseAnalysis& a, PlotKind kind);

// Writes the plot to `path`, a PNG or an SVG by its extension, whole or not at all
// (a temporary file renamed over the old one). False and the reason in `error`.
bool SavePlot(const QString& path, const NoiseAnalysis& a, PlotKind kind, QString* error);

} // namespace gyro::analysis
