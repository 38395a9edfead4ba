#include "ChartKeeper.h"

#include "DatalogFormat.h"
#include "DrawingFormats.h"
#include "StripChart.h"
#include "WholeFile.h"

#include <QAction>
#include <QBuffer>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace gyro {

namespace {
const QString PictureFilter = DrawingFileFilter(QStringLiteral("PNG picture (*.png)"));
const QString SamplesFilter = QStringLiteral("Delimited text (*.csv *.txt)");
} // namespace

ChartKeeper::ChartKeeper(QMainWindow& window, UiHost& ui, std::vector<KeptChart> charts, QAction* before)
    : QObject(&window), window_(window), ui_(ui), charts_(std::move(charts))
{
    chooseFile_ = [this](const QString& title, const QString& suggested, const QString& filter) {
        return QFileDialog::getSaveFileName(&window_, title, suggested, filter);
    };
    caption_ = [] { return QDateTime::currentDateTime().toString(Qt::ISODate); };

    auto* menu = menu_ = new QMenu(QStringLiteral("&Charts"), &window);
    menu->setObjectName(QStringLiteral("mnuCharts"));
    pause_ = menu->addAction(QStringLiteral("&Pause"));
    pause_->setObjectName(QStringLiteral("mnuChartPause"));
    pause_->setCheckable(true);
    connect(pause_, &QAction::toggled, this, &ChartKeeper::setPaused);
    menu->addSeparator();
    QAction* picture =
        menu->addAction(QStringLiteral("Export &Pictures..."), this, [this] { choosePicture(-1); });
    picture->setObjectName(QStringLiteral("mnuChartExportPicture"));
    QAction* samples =
        menu->addAction(QStringLiteral("Export &Samples..."), this, [this] { chooseSamples(-1); });
    samples->setObjectName(QStringLiteral("mnuChartExportSamples"));
    window.menuBar()->insertMenu(before, menu);

    for (int i = 0; i < static_cast<int>(charts_.size()); ++i)
        addContextMenu(i);
}

void ChartKeeper::setPaused(bool paused)
{
    if (paused == paused_)
        return;
    paused_ = paused;
    for (const KeptChart& kept : charts_)
        kept.chart->setPaused(paused);
    pause_->setChecked(paused);
    pause_->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    // The menu bar says so, as the frozen charts themselves cannot.
    menu_->setTitle(paused ? QStringLiteral("&Charts (paused)") : QStringLiteral("&Charts"));
    emit pausedChanged(paused);
}

bool ChartKeeper::paused() const
{
    return paused_;
}

std::vector<ExportedChart> ChartKeeper::exported(int only) const
{
    std::vector<ExportedChart> out;
    for (int i = 0; i < static_cast<int>(charts_.size()); ++i)
        if (only < 0 || only == i) {
            const KeptChart& kept = charts_[static_cast<std::size_t>(i)];
            out.push_back({&kept.chart->onScreen(), kept.name, kept.unit});
        }
    return out;
}

bool ChartKeeper::exportPicture(const QString& path, int only)
{
    const std::vector<ExportedChart> charts = exported(only);
    if (IsSvgName(path)) {
#ifdef GYRO_HAVE_SVG
        return writeFile(path, ChartSheetSvg(charts, caption_()), QStringLiteral("drawing"));
#else
        ui_.message(QStringLiteral("The charts could not be saved to %1.\nReason: %2")
                        .arg(path, SvgUnavailableText()),
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
#endif
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    RenderChartSheet(charts, caption_()).save(&buffer, "PNG");
    return writeFile(path, png, QStringLiteral("picture"));
}

bool ChartKeeper::exportSamples(const QString& path, int only)
{
    return writeFile(path, ChartSamplesText(exported(only)), QStringLiteral("samples"));
}

bool ChartKeeper::writeFile(const QString& path, const QByteArray& contents, const QString& what)
{
    QString reason;
    if (WriteFileWhole(path, contents, &reason))
        return true;
    ui_.message(QStringLiteral("The chart %1 could not be saved to %2.\nReason: %3").arg(what, path, reason),
                MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

// The name proposed: the chart (or "charts") and the time, so exports do not
// overwrite each other.
void ChartKeeper::choosePicture(int only)
{
    const QString base = only < 0 ? QStringLiteral("charts") : charts_[static_cast<std::size_t>(only)].name;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString path = chooseFile_(QStringLiteral("Export Chart Picture"),
                                     QStringLiteral("%1-%2.png").arg(base, stamp), PictureFilter);
    if (path.isEmpty())
        return;
    // A name without an extension gets the PNG's, as the filter offers it first.
    exportPicture(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".png") : path, only);
}

void ChartKeeper::chooseSamples(int only)
{
    const QString base = only < 0 ? QStringLiteral("charts") : charts_[static_cast<std::size_t>(only)].name;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString extension = DatalogFormatFor(QLocale::system()).extension;
    const QString path = chooseFile_(QStringLiteral("Export Chart Samples"),
                                     QStringLiteral("%1-%2%3").arg(base, stamp, extension), SamplesFilter);
    if (!path.isEmpty())
        exportSamples(QFileInfo(path).suffix().isEmpty() ? path + extension : path, only);
}

// Each chart's own menu: the shared Pause, and exports of that chart alone.
void ChartKeeper::addContextMenu(int index)
{
    StripChart* chart = charts_[static_cast<std::size_t>(index)].chart;
    auto* menu = new QMenu(chart);
    menu->setObjectName(QStringLiteral("mnuChartContext"));
    menu->addAction(pause_);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Export Picture..."), this, [this, index] { choosePicture(index); })
        ->setObjectName(QStringLiteral("mnuChartContextPicture"));
    menu->addAction(QStringLiteral("Export Samples..."), this, [this, index] { chooseSamples(index); })
        ->setObjectName(QStringLiteral("mnuChartContextSamples"));
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart, &QWidget::customContextMenuRequested, menu,
            [chart, menu](const QPoint& at) { menu->popup(chart->mapToGlobal(at)); });
}

} // namespace gyro
