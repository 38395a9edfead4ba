#include "AnalysisPlot.h"

#include "DrawingFormats.h"
#include "LogAxis.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#ifdef GYRO_HAVE_SVG
#include <QSvgGenerator>
#endif
#include <cmath>
#include <limits>

namespace gyro::analysis {

namespace {

constexpr int PlotWidth = 1000;
constexpr int PlotHeight = 700;

const QColor CurveColour(20, 60, 160);
const QColor BandColour(120, 160, 230, 90);
const QColor NColour(200, 40, 40);
const QColor BColour(20, 140, 60);
const QColor KColour(220, 120, 0);

// The frame, the decade grid and the labels of a log-log plot; returns the inner rectangle.
struct Frame {
    QRectF inner;
    LogAxis x, y;
    QPointF at(double xv, double yv) const
    {
        return {x.pixel(xv, inner.left(), inner.right()), y.pixel(yv, inner.bottom(), inner.top())};
    }
};

Frame drawFrame(QPainter& p, const QRectF& area, const LogAxis& x, const LogAxis& y, const QString& title,
                const QString& xTitle, const QString& yTitle)
{
    Frame f{area.adjusted(90, 50, -30, -60), x, y};
    p.fillRect(area, Qt::white);
    QFont font = p.font();
    font.setPixelSize(14);
    p.setFont(font);
    p.setPen(QColor(225, 225, 225));
    for (int d = x.lowDecade(); d < x.highDecade(); ++d)
        for (int k = 2; k < 10; ++k) {
            const double px = x.pixel(k * std::pow(10.0, d), f.inner.left(), f.inner.right());
            p.drawLine(QPointF(px, f.inner.top()), QPointF(px, f.inner.bottom()));
        }
    for (int d = y.lowDecade(); d < y.highDecade(); ++d)
        for (int k = 2; k < 10; ++k) {
            const double py = y.pixel(k * std::pow(10.0, d), f.inner.bottom(), f.inner.top());
            p.drawLine(QPointF(f.inner.left(), py), QPointF(f.inner.right(), py));
        }
    for (int d = x.lowDecade(); d <= x.highDecade(); ++d) {
        const double px = x.pixel(std::pow(10.0, d), f.inner.left(), f.inner.right());
        p.setPen(QColor(170, 170, 170));
        p.drawLine(QPointF(px, f.inner.top()), QPointF(px, f.inner.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(px - 50, f.inner.bottom() + 4, 100, 20), Qt::AlignHCenter | Qt::AlignTop,
                   TableNumber(std::pow(10.0, d)));
    }
    for (int d = y.lowDecade(); d <= y.highDecade(); ++d) {
        const double py = y.pixel(std::pow(10.0, d), f.inner.bottom(), f.inner.top());
        p.setPen(QColor(170, 170, 170));
        p.drawLine(QPointF(f.inner.left(), py), QPointF(f.inner.right(), py));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), py - 10, 84, 20), Qt::AlignRight | Qt::AlignVCenter,
                   TableNumber(std::pow(10.0, d)));
    }
    p.setPen(Qt::black);
    p.drawRect(f.inner);
    p.drawText(QRectF(f.inner.left(), f.inner.bottom() + 26, f.inner.width(), 24), Qt::AlignHCenter, xTitle);
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(area.left(), area.top() + 8, area.width(), 24), Qt::AlignHCenter, title);
    font.setPixelSize(14);
    font.setBold(false);
    p.setFont(font);
    p.save();
    p.translate(area.left() + 16, f.inner.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-f.inner.height() / 2, -12, f.inner.height(), 24), Qt::AlignHCenter, yTitle);
    p.restore();
    return f;
}

// A fitted line over the plot's tau range, clipped to the frame.
void drawLine(QPainter& p, const Frame& f, double tauFrom, double tauTo, const QColor& colour,
              double (*line)(double value, double tau), double value)
{
    QPainterPath path;
    constexpr int Steps = 64;
    for (int i = 0; i <= Steps; ++i) {
        const double tau = tauFrom * std::pow(tauTo / tauFrom, static_cast<double>(i) / Steps);
        const QPointF pt = f.at(tau, line(value, tau));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    p.setPen(QPen(colour, 1.5, Qt::DashLine));
    p.drawPath(path);
}

void drawMark(QPainter& p, const QPointF& at, const QColor& colour, const QString& text, int row,
              const QRectF& inner)
{
    p.setPen(QPen(colour, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(at, 6, 6);
    p.setBrush(Qt::NoBrush);
    p.drawText(QRectF(inner.left() + 8, inner.top() + 8 + 22 * row, inner.width() - 16, 20),
               Qt::AlignRight | Qt::AlignVCenter, text);
}

QString fileNameOf(const NoiseAnalysis& a)
{
    return QFileInfo(a.path).fileName();
}

} // namespace

void DrawAllanPlot(QPainter& p, const QRectF& area, const NoiseAnalysis& a)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    double low = std::numeric_limits<double>::max(), high = 0;
    for (const AllanPoint& pt : a.allan) {
        if (pt.lower > 0)
            low = std::min(low, pt.lower);
        high = std::max(high, pt.upper);
    }
    if (a.allan.empty() || !(high > 0) || !(low < high)) {
        p.fillRect(area, Qt::white);
        p.drawText(area, Qt::AlignCenter, QStringLiteral("No Allan deviation"));
        p.restore();
        return;
    }
    const double tauFrom = a.allan.front().tau, tauTo = a.allan.back().tau;
    const Frame f = drawFrame(p, area, LogAxis(tauFrom, tauTo), LogAxis(low, high),
                              QStringLiteral("Allan deviation of %1, %2").arg(a.column, fileNameOf(a)),
                              QStringLiteral("tau (s)"), QStringLiteral("Allan deviation (deg/s)"));
    p.setClipRect(f.inner);

    QPolygonF band;
    for (const AllanPoint& pt : a.allan)
        band << f.at(pt.tau, pt.upper);
    for (auto it = a.allan.rbegin(); it != a.allan.rend(); ++it)
        band << f.at(it->tau, std::max(it->lower, low));
    p.setPen(Qt::NoPen);
    p.setBrush(BandColour);
    p.drawPolygon(band);
    p.setBrush(Qt::NoBrush);

    QPolygonF curve;
    for (const AllanPoint& pt : a.allan)
        curve << f.at(pt.tau, pt.adev);
    p.setPen(QPen(CurveColour, 2));
    p.drawPolyline(curve);
    for (const QPointF& pt : curve)
        p.drawEllipse(pt, 2.5, 2.5);

    const NoiseTerms& t = a.terms;
    int row = 0;
    QFont font = p.font();
    font.setPixelSize(14);
    p.setFont(font);
    if (t.N) {
        drawLine(p, f, tauFrom, tauTo, NColour, AngleRandomWalkLine, t.N->value);
        drawMark(p, f.at(1.0, t.N->value), NColour,
                 QStringLiteral("N = %1 deg/sqrt(h) (slope -1/2 at 1 s)")
                     .arg(TableNumber(AngleRandomWalkUnits(t.N->value).perHour)),
                 row++, f.inner);
    }
    if (t.B) {
        drawLine(
            p, f, tauFrom, tauTo, BColour, [](double B, double) { return BiasInstabilityLine(B); },
            t.B->value);
        drawMark(p, f.at(t.B->tau, BiasInstabilityLine(t.B->value)), BColour,
                 QStringLiteral("B = %1 deg/h (minimum / 0.664 at %2 s)")
                     .arg(TableNumber(BiasInstabilityUnits(t.B->value).perHour), TableNumber(t.B->tau)),
                 row++, f.inner);
    }
    if (t.K) {
        drawLine(p, f, tauFrom, tauTo, KColour, RateRandomWalkLine, t.K->value);
        drawMark(p, f.at(3.0, t.K->value), KColour,
                 QStringLiteral("K = %1 deg/h/sqrt(h) (slope +1/2 at 3 s)")
                     .arg(TableNumber(RateRandomWalkUnits(t.K->value).perHour)),
                 row++, f.inner);
    }
    p.setPen(Qt::darkGray);
    p.drawText(QRectF(f.inner.left() + 8, f.inner.bottom() - 24, 500, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("overlapping; band: 68.3 % confidence; %1 samples").arg(a.samples));
    p.restore();
}

void DrawSpectrumPlot(QPainter& p, const QRectF& area, const NoiseAnalysis& a)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (!a.psd || a.psd->density.size() < 3) {
        p.fillRect(area, Qt::white);
        p.drawText(area, Qt::AlignCenter, QStringLiteral("No spectrum"));
        p.restore();
        return;
    }
    const PsdResult& s = *a.psd;
    double low = std::numeric_limits<double>::max(), high = 0;
    for (std::size_t k = 1; k < s.density.size(); ++k)
        if (s.density[k] > 0) {
            low = std::min(low, s.density[k]);
            high = std::max(high, s.density[k]);
        }
    if (!(high > 0) || !(low < high)) {
        low = high > 0 ? high / 10 : 1e-12;
        high = high > 0 ? high * 10 : 1;
    }
    const Frame f = drawFrame(p, area, LogAxis(s.frequency[1], s.frequency.back()), LogAxis(low, high),
                              QStringLiteral("One-sided PSD of %1 (Welch, Hann, 50 %)").arg(a.column),
                              QStringLiteral("frequency (Hz)"), QStringLiteral("PSD ((deg/s)^2/Hz)"));
    p.setClipRect(f.inner);
    QPolygonF curve;
    for (std::size_t k = 1; k < s.density.size(); ++k)
        if (s.density[k] > 0)
            curve << f.at(s.frequency[k], s.density[k]);
    p.setPen(QPen(CurveColour, 1));
    p.drawPolyline(curve);
    const double level = s.whiteDensity * s.whiteDensity;
    if (level > 0) {
        p.setPen(QPen(NColour, 2, Qt::DashLine));
        p.drawLine(f.at(s.frequency[1], level), f.at(s.frequency.back(), level));
        p.setPen(QPen(NColour, 4));
        p.drawLine(f.at(s.bandLow, level), f.at(s.bandHigh, level));
        QFont font = p.font();
        font.setPixelSize(14);
        p.setFont(font);
        p.drawText(QRectF(f.inner.left() + 8, f.inner.top() + 8, f.inner.width() - 16, 20),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("white noise %1 (deg/s)/sqrt(Hz), %2 to %3 Hz")
                       .arg(TableNumber(s.whiteDensity), TableNumber(s.bandLow), TableNumber(s.bandHigh)));
    }
    p.restore();
}

void DrawPlots(QPainter& painter, const QRectF& area, const NoiseAnalysis& a, PlotKind kind)
{
    const bool both = kind == PlotKind::Both && a.psd;
    if (kind == PlotKind::Spectrum) {
        DrawSpectrumPlot(painter, area, a);
        return;
    }
    if (!both) {
        DrawAllanPlot(painter, area, a);
        return;
    }
    const double h = area.height() / 2;
    DrawAllanPlot(painter, QRectF(area.left(), area.top(), area.width(), h), a);
    DrawSpectrumPlot(painter, QRectF(area.left(), area.top() + h, area.width(), h), a);
}

QSize PlotSize(const NoiseAnalysis& a, PlotKind kind)
{
    return {PlotWidth, kind == PlotKind::Both && a.psd ? 2 * PlotHeight : PlotHeight};
}

bool SavePlot(const QString& path, const NoiseAnalysis& a, PlotKind kind, QString* error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
        *error = QStringLiteral("%1: the plot is written as .png or .svg").arg(path);
        return false;
    }
    if (suffix == QLatin1String("svg") && !SvgDrawingsAvailable) {
        *error = QStringLiteral("%1: %2").arg(path, SvgUnavailableText());
        return false;
    }
    // Drawn in memory first, then written through the program's whole-or-nothing
    // writer, so a failed write leaves an older file of that name as it was.
    QBuffer drawing;
    drawing.open(QIODevice::WriteOnly);
    const QSize size = PlotSize(a, kind);
    bool drawn = true;
    if (suffix == QLatin1String("png")) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            DrawPlots(painter, QRectF(QPointF(0, 0), size), a, kind);
        }
        drawn = image.save(&drawing, "PNG");
    } else {
#ifdef GYRO_HAVE_SVG
        QSvgGenerator svg;
        svg.setOutputDevice(&drawing);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Noise analysis of %1").arg(QFileInfo(a.path).fileName()));
        QPainter painter;
        drawn = painter.begin(&svg);
        if (drawn) {
            DrawPlots(painter, QRectF(QPointF(0, 0), size), a, kind);
            drawn = painter.end();
        }
#endif
    }
    QString reason = QStringLiteral("the plot could not be drawn");
    if (!drawn || !WriteFileWhole(path, drawing.data(), &reason)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason);
        return false;
    }
    return true;
}

} // namespace gyro::analysis
