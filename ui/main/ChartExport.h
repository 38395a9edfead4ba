#pragma once
// The strip charts as files: a sheet with the charts one above the other (name
// and unit, range labels, sample marks) as a PNG picture or an SVG drawing, and
// the samples on screen as delimited text. No widgets: the snapshots carry all.
#include "ChartSnapshot.h"

#include <QByteArray>
#include <QImage>
#include <QLocale>
#include <QRect>
#include <QString>
#include <vector>

namespace gyro {

struct ExportedChart {
    const ChartSnapshot* snapshot;
    QString name; // "Gyro_Out"
    QString unit; // "deg/s"
};

// Where each chart's picture lies on the sheet, in the sheet's pixels.
struct ChartSheetLayout {
    QSize size;
    std::vector<QRect> chartAreas;
};
ChartSheetLayout LayoutChartSheet(const std::vector<ExportedChart>& charts);

// The sheet with each chart's pixels exactly as drawn; `caption` heads it.
QImage RenderChartSheet(const std::vector<ExportedChart>& charts, const QString& caption,
                        const QLocale& locale = QLocale::system());
#ifdef GYRO_HAVE_SVG
// The same sheet as an SVG drawing: each trace segment a line in the range it was
// drawn in, so the drawing scales without steps.
QByteArray ChartSheetSvg(const std::vector<ExportedChart>& charts, const QString& caption,
                         const QLocale& locale = QLocale::system());
#endif

// One line per sweep position 0..350 (left to right, as on screen): the
// position, then each chart's value and how many samples ago it was drawn, empty
// where the chart has no sample. The log files' rules: general number format with
// the locale's decimal mark, a comma or (where the mark is a comma) a tab after
// every field, CR LF line ends.
QByteArray ChartSamplesText(const std::vector<ExportedChart>& charts,
                            const QLocale& locale = QLocale::system());

} // namespace gyro
