#include "ChartExport.h"

#include "DatalogFormat.h"
#include "NumberText.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#ifdef GYRO_HAVE_SVG
#include <QSvgGenerator>
#endif
#include <algorithm>

namespace gyro {

namespace {

constexpr int Margin = 12;
constexpr int CaptionHeight = 34; // the caption's one line, with room around it
constexpr int TitleHeight = 20;
constexpr int LabelWidth = 64;  // range labels left of the chart
constexpr int MarksHeight = 34; // sample marks and "Sample Number" below it
constexpr int SampleMarks[] = {0, 85, 175, 260, 350};
constexpr int MinCaptionPixels = 8;

// The range the newest sample was drawn in: what the labels beside the chart say.
std::pair<double, double> shownRange(const ChartSnapshot& snapshot)
{
    const ChartSample& newest = snapshot.samples[static_cast<std::size_t>(snapshot.position)];
    return newest.drawn() ? std::pair{newest.hiPk, newest.lowPk} : std::pair{1.0, 0.0};
}

double columnOf(const QRect& area, double position)
{
    return area.left() + position * (area.width() - 1) / (ChartPositions - 1);
}

double rowOf(const QRect& area, double value, double hiPk, double lowPk)
{
    return area.top() + (hiPk - value) * (area.height() - 1) / (hiPk - lowPk);
}

// The trace as lines, each segment in the range it was drawn in. The slot under
// the cursor holds the previous sweep's segment, which the erased strip removed.
void paintTraceLines(QPainter& painter, const QRect& area, const ChartSnapshot& snapshot)
{
    painter.fillRect(area, QColor(192, 192, 192));
    painter.save();
    painter.setClipRect(area);
    const int cursor = snapshot.position + 1;
    if (snapshot.drawn > 0 && cursor < ChartPositions) {
        painter.setPen(QPen(QColor(215, 215, 215), 1));
        painter.drawLine(QPointF(columnOf(area, cursor), area.top()),
                         QPointF(columnOf(area, cursor), area.bottom()));
    }
    painter.setPen(QPen(snapshot.traceColor, 1));
    for (int p = 0; p < ChartPositions; ++p) {
        const ChartSample& s = snapshot.samples[static_cast<std::size_t>(p)];
        if (!s.drawn() || p == cursor || s.hiPk == s.lowPk)
            continue;
        painter.drawLine(QPointF(columnOf(area, s.fromPosition), rowOf(area, s.fromValue, s.hiPk, s.lowPk)),
                         QPointF(columnOf(area, p), rowOf(area, s.value, s.hiPk, s.lowPk)));
    }
    painter.restore();
}

void paintSheet(QPainter& painter, const std::vector<ExportedChart>& charts, const QString& caption,
                const QLocale& locale, bool traceLines)
{
    const ChartSheetLayout layout = LayoutChartSheet(charts);
    painter.fillRect(QRect(QPoint(0, 0), layout.size), Qt::white);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    // The caption on one line: a smaller font where the sheet is narrow, never a wrap
    // in the middle of a name.
    const int captionWidth = layout.size.width() - 2 * Margin;
    QFont captionFont = font;
    while (captionFont.pixelSize() > MinCaptionPixels &&
           QFontMetrics(captionFont).horizontalAdvance(caption) > captionWidth)
        captionFont.setPixelSize(captionFont.pixelSize() - 1);
    painter.setFont(captionFont);
    painter.drawText(QRect(Margin, Margin, captionWidth, CaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(captionFont).elidedText(caption, Qt::ElideMiddle, captionWidth));
    painter.setFont(font);
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const ChartSnapshot& snapshot = *charts[i].snapshot;
        const QRect area = layout.chartAreas[i];
        painter.setPen(Qt::black);
        painter.drawText(QRect(area.left(), area.top() - TitleHeight, area.width(), TitleHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 (%2)").arg(charts[i].name, charts[i].unit));
        if (traceLines)
            paintTraceLines(painter, area, snapshot);
        else
            painter.drawImage(area, snapshot.image);
        painter.setPen(Qt::black);
        painter.drawRect(area.adjusted(-1, -1, 0, 0));

        const auto [hiPk, lowPk] = shownRange(snapshot);
        const QRect labels(Margin, area.top() - 8, LabelWidth - 8, area.height() + 16);
        painter.drawText(labels, Qt::AlignRight | Qt::AlignTop, GeneralFormat(hiPk, 15, locale));
        painter.drawText(labels, Qt::AlignRight | Qt::AlignVCenter,
                         GeneralFormat(lowPk + (hiPk - lowPk) / 2, 15, locale));
        painter.drawText(labels, Qt::AlignRight | Qt::AlignBottom, GeneralFormat(lowPk, 15, locale));
        for (const int mark : SampleMarks) {
            const int x = static_cast<int>(columnOf(area, mark));
            painter.drawLine(x, area.bottom() + 1, x, area.bottom() + 4);
            painter.drawText(QRect(x - 20, area.bottom() + 4, 40, 14), Qt::AlignCenter,
                             QString::number(mark));
        }
        painter.drawText(QRect(area.left(), area.bottom() + 18, area.width(), 14), Qt::AlignCenter,
                         QStringLiteral("Sample Number"));
    }
}

} // namespace

ChartSheetLayout LayoutChartSheet(const std::vector<ExportedChart>& charts)
{
    ChartSheetLayout layout;
    int width = 0;
    int y = Margin + CaptionHeight;
    for (const ExportedChart& chart : charts) {
        const QSize size = chart.snapshot->image.size();
        y += TitleHeight;
        layout.chartAreas.emplace_back(QPoint(Margin + LabelWidth, y), size);
        y += size.height() + MarksHeight;
        width = std::max(width, size.width());
    }
    layout.size = QSize(Margin + LabelWidth + width + 2 * Margin, y + Margin);
    return layout;
}

QImage RenderChartSheet(const std::vector<ExportedChart>& charts, const QString& caption,
                        const QLocale& locale)
{
    QImage sheet(LayoutChartSheet(charts).size, QImage::Format_RGB32);
    QPainter painter(&sheet);
    paintSheet(painter, charts, caption, locale, false);
    return sheet;
}

#ifdef GYRO_HAVE_SVG
QByteArray ChartSheetSvg(const std::vector<ExportedChart>& charts, const QString& caption,
                         const QLocale& locale)
{
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    const QSize size = LayoutChartSheet(charts).size;
    generator.setSize(size);
    generator.setResolution(96); // CSS pixels: browsers open the drawing at the picture's size
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(caption);
    {
        QPainter painter(&generator);
        paintSheet(painter, charts, caption, locale, true);
    }
    return svg;
}
#endif

QByteArray ChartSamplesText(const std::vector<ExportedChart>& charts, const QLocale& locale)
{
    const QChar separator = DatalogFormatFor(locale).separator;
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = QStringLiteral("Sample Number") + separator;
    for (const ExportedChart& chart : charts)
        text += QStringLiteral("%1 (%2)").arg(chart.name, chart.unit) + separator + chart.name +
                QStringLiteral(" Samples Ago") + separator;
    text += lineEnd;
    for (int p = 0; p < ChartPositions; ++p) {
        text += QString::number(p) + separator;
        for (const ExportedChart& chart : charts) {
            const ChartSample& s = chart.snapshot->samples[static_cast<std::size_t>(p)];
            if (s.drawn())
                text += GeneralFormat(static_cast<float>(s.value), locale) + separator +
                        QString::number(chart.snapshot->age(p)) + separator;
            else
                text += QString(2, separator);
        }
        text += lineEnd;
    }
    return text.toUtf8();
}

} // namespace gyro
