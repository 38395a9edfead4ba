// Charts to keep: pause and resume of the strip charts, the samples they hold,
// the exported picture, drawing and delimited text, the menus that reach them,
// and Help > About.
#include "AboutBox.h"
#include "ChartExport.h"
#include "ChartKeeper.h"
#include "DrawingFormats.h"
#include "MainWindowFixture.h"
#include "ProgramVersion.h"
#include "Screenshot.h"
#include "StripChart.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#ifdef GYRO_HAVE_SVG
#include <QSvgRenderer>
#endif
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace gyro;
using namespace gyro::test;

namespace {

struct Chart {
    Chart()
    {
        chart.resize(351, 161);
        chart.show();
    }
    void plot(double y) { chart.plot(y, hi, lo); }
    StripChart chart;
    double hi = 400;
    double lo = -400;
};

QImage pixels(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Whether a folder without write permission stops this process: not for root,
// and not on Windows, where a folder's read-only flag stops no one.
bool folderPermissionsStopWrites()
{
#ifdef Q_OS_UNIX
    return ::geteuid() != 0;
#else
    return false;
#endif
}

} // namespace

TEST(StripChartPause, FreezesThePictureWhileTheSweepGoesOnAndResumesWhereItStands)
{
    Chart c;
    for (int i = 0; i < 40; ++i)
        c.plot(i * 5);
    c.chart.setPaused(true);
    const QImage atPause = pixels(c.chart);
    const ChartSnapshot frozen = c.chart.onScreen();
    for (int i = 0; i < 100; ++i)
        c.plot(-300);

    EXPECT_TRUE(c.chart.paused());
    EXPECT_EQ(pixels(c.chart), atPause); // the widget shows the moment of the pause
    EXPECT_EQ(c.chart.onScreen().position, 40);
    EXPECT_EQ(c.chart.onScreen().image, frozen.image);
    EXPECT_EQ(c.chart.position(), 140); // while the sweep went on behind it
    EXPECT_EQ(c.chart.colorAt(120, -300), c.chart.traceColor());

    c.chart.setPaused(false);
    EXPECT_EQ(c.chart.onScreen().position, 140);
    EXPECT_EQ(pixels(c.chart), c.chart.image()); // the sweep as it stands now
    c.plot(100);
    EXPECT_EQ(c.chart.position(), 141); // and on from the current sample
}

// Each position keeps its sample, the segment that reached it and its range;
// the next sweep replaces them position by position.
TEST(StripChartPause, KeepsTheSampleOfEveryPositionAcrossAWrap)
{
    Chart c;
    for (int i = 1; i <= 351 + 3; ++i) {
        if (i == 353)
            c.hi = 200, c.lo = -200; // a "Scale" click between samples
        c.plot(i);
    }
    const ChartSnapshot& s = c.chart.onScreen();
    struct Row {
        int position;
        double value, from, fromValue, hiPk;
        std::uint64_t age;
    };
    for (const Row& row :
         {Row{0, 351, 0, 350, 400, 3}, Row{1, 352, 0, 351, 400, 2}, Row{2, 353, 1, 352, 200, 1},
          Row{3, 354, 2, 353, 200, 0}, Row{4, 4, 3, 3, 400, 350}, Row{350, 350, 349, 349, 400, 4}}) {
        const ChartSample& sample = s.samples[static_cast<std::size_t>(row.position)];
        EXPECT_EQ(sample.value, row.value) << row.position;
        EXPECT_EQ(sample.fromPosition, row.from) << row.position;
        EXPECT_EQ(sample.fromValue, row.fromValue) << row.position;
        EXPECT_EQ(sample.hiPk, row.hiPk) << row.position;
        EXPECT_EQ(s.age(row.position), row.age) << row.position;
    }
    Chart fresh;
    fresh.plot(7);
    EXPECT_FALSE(fresh.chart.onScreen().samples[0].drawn()); // the sweep starts at (0, 0), no sample
    EXPECT_TRUE(fresh.chart.onScreen().samples[1].drawn());
}

// The log files' number rules: the locale's decimal mark, and a tab where it is a comma.
TEST(ChartExportText, SamplesOnScreenInTheLogFilesFormat)
{
    Chart rate;
    Chart temp;
    rate.plot(1.5);
    rate.plot(-12.25);
    temp.plot(25.125);
    const std::vector<ExportedChart> charts{{&rate.chart.onScreen(), "Gyro_Out", "deg/s"},
                                            {&temp.chart.onScreen(), "Temp_Out", "degC"}};
    struct Case {
        QLocale locale;
        QString title, row1, row2, empty;
    };
    for (const Case& c :
         {Case{QLocale::c(),
               "Sample Number,Gyro_Out (deg/s),Gyro_Out Samples Ago,Temp_Out (degC),Temp_Out Samples Ago,",
               "1,1.5,1,25.125,0,", "2,-12.25,0,,,", "3,,,,,"},
          Case{QLocale(QLocale::German, QLocale::Germany),
               "Sample Number\tGyro_Out (deg/s)\tGyro_Out Samples Ago\tTemp_Out (degC)\tTemp_Out Samples "
               "Ago\t",
               "1\t1,5\t1\t25,125\t0\t", "2\t-12,25\t0\t\t\t", "3\t\t\t\t\t"}}) {
        const QStringList lines = QString::fromUtf8(ChartSamplesText(charts, c.locale)).split("\r\n");
        ASSERT_EQ(lines.size(),
                  1 + ChartPositions + 1); // the title, 351 positions, after the last CR LF nothing
        EXPECT_EQ(lines[0], c.title);
        EXPECT_EQ(lines[2], c.row1);
        EXPECT_EQ(lines[3], c.row2);
        EXPECT_EQ(lines[4], c.empty);
        EXPECT_TRUE(lines.back().isEmpty());
    }
}

// The caption above one chart stands on one line, whole, even where it is long.
TEST(ChartExportPicture, TheCaptionIsOneLine)
{
    Chart rate;
    rate.plot(1);
    const std::vector<ExportedChart> charts{{&rate.chart.onScreen(), "Gyro_Out", "deg/s"}};
    const QImage sheet = RenderChartSheet(charts, "Korvex - gyroeval (Simulated sensor) 2026-12-09 10:00:00");
    const QRect top = LayoutChartSheet(charts).chartAreas[0];
    // Rows with ink above the first chart's title: one band of text, not two.
    int bands = 0;
    bool inked = false;
    for (int y = 0; y < top.top() - 20; ++y) {
        bool ink = false;
        for (int x = 0; x < sheet.width() && !ink; ++x)
            ink = qGray(sheet.pixel(x, y)) < 128;
        bands += ink && !inked ? 1 : 0;
        inked = ink;
    }
    EXPECT_EQ(bands, 1);
}

TEST(ChartExportPicture, TheSheetHoldsEachChartPixelForPixel)
{
    Chart rate;
    Chart temp;
    for (int i = 0; i < 200; ++i) {
        rate.plot(300 * std::sin(i / 15.0));
        temp.plot(i - 100);
    }
    const std::vector<ExportedChart> charts{{&rate.chart.onScreen(), "Gyro_Out", "deg/s"},
                                            {&temp.chart.onScreen(), "Temp_Out", "degC"}};
    const QImage sheet = RenderChartSheet(charts, "caption");
    const ChartSheetLayout layout = LayoutChartSheet(charts);
    ASSERT_EQ(layout.chartAreas.size(), 2u);
    EXPECT_EQ(sheet.size(), layout.size);
    EXPECT_FALSE(layout.chartAreas[0].intersects(layout.chartAreas[1]));
    EXPECT_EQ(sheet.copy(layout.chartAreas[0]), pixels(rate.chart));
    EXPECT_EQ(sheet.copy(layout.chartAreas[1]), pixels(temp.chart));

#ifdef GYRO_HAVE_SVG
    // The drawing: a valid SVG of the sheet's size with a line per segment drawn.
    const QByteArray svg = ChartSheetSvg(charts, "caption");
    QSvgRenderer renderer(svg);
    EXPECT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox().size(), layout.size);
    EXPECT_GE(svg.count("<line") + svg.count("<polyline") + svg.count("<path"), 2 * 190);
#endif
}

class ChartKeep : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        load(2);
        control<QAbstractButton>("ckLoop")->setChecked(false);
        form->charts().setFileChooser(
            [this](const QString&, const QString& suggested, const QString& filter) {
                suggestions << suggested;
                filters << filter;
                return chosen;
            });
        ui.clear();
    }
    void passes(int n)
    {
        for (int i = 0; i < n; ++i)
            click("cmdReadData");
    }
    StripChart* pic(const char* name) const { return control<StripChart>(name); }
    // Opens a chart's context menu and picks the entry of that objectName.
    void pickFromContextMenu(StripChart* chart, const char* entry)
    {
        emit chart->customContextMenuRequested(QPoint(20, 20));
        auto* menu = chart->findChild<QMenu*>(QStringLiteral("mnuChartContext"));
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        QAction* action = nullptr;
        for (QAction* candidate : menu->actions())
            if (candidate->objectName() == QLatin1String(entry))
                action = candidate;
        ASSERT_NE(action, nullptr) << entry;
        SaveScreenshot(*menu, "chart_context_menu");
        menu->close();
        action->trigger();
    }
    QString chosen;
    QStringList suggestions, filters;
};

// The readout loop's passes go on while paused (the SPI trace shows them); the
// exported picture shows the paused moment, exactly what the chart showed.
TEST_F(ChartKeep, PausedChartsExportWhatWasOnScreenWhileReadingsGoOn)
{
    passes(60);
    action("mnuChartPause")->trigger();
    EXPECT_TRUE(form->charts().paused());
    EXPECT_EQ(action("mnuChartPause")->text(), "&Resume");
    EXPECT_EQ(control<QMenu>("mnuCharts")->title(), "&Charts (paused)");
    const QImage rateShown = pixels(*pic("pic1"));
    const QImage tempShown = pixels(*pic("pic2"));
    const int pausedAt = pic("pic1")->position();
    framesOut();
    passes(60);
    const auto frames = framesOut();
    EXPECT_EQ(std::count(frames.begin(), frames.end(), 0x0400), 2 * 60); // Gyro_Out read on every pass
    EXPECT_EQ(pic("pic1")->position(), pausedAt + 60);
    EXPECT_EQ(pic("pic1")->onScreen().position, pausedAt);

    chosen = dir.filePath("paused.png");
    action("mnuChartExportPicture")->trigger();
    const QImage exported(chosen);
    ASSERT_FALSE(exported.isNull()) << chosen.toStdString();
    const auto layout =
        LayoutChartSheet({{&pic("pic1")->onScreen(), "", ""}, {&pic("pic2")->onScreen(), "", ""}});
    EXPECT_EQ(exported.convertToFormat(QImage::Format_RGB32).copy(layout.chartAreas[0]), rateShown);
    EXPECT_EQ(exported.convertToFormat(QImage::Format_RGB32).copy(layout.chartAreas[1]), tempShown);
    EXPECT_TRUE(suggestions.back().startsWith("charts-") && suggestions.back().endsWith(".png"));
    SaveScreenshot(*form, "main_window_charts_paused");
    QLabel sheet;
    sheet.setPixmap(QPixmap::fromImage(exported));
    sheet.adjustSize();
    SaveScreenshot(sheet, "chart_export_sheet");
#ifdef GYRO_HAVE_SVG
    // The drawing of the same moment, rendered as a viewer would.
    ASSERT_TRUE(form->charts().exportPicture(dir.filePath("paused.svg")));
    QSvgRenderer drawing(dir.filePath("paused.svg"));
    ASSERT_TRUE(drawing.isValid());
    QImage rendered(drawing.defaultSize(), QImage::Format_RGB32);
    QPainter painter(&rendered);
    drawing.render(&painter);
    painter.end();
    EXPECT_EQ(drawing.viewBox().size(), exported.size());
    sheet.setPixmap(QPixmap::fromImage(rendered));
    sheet.adjustSize();
    SaveScreenshot(sheet, "chart_export_svg");
#else
    // Without SVG drawings a name ending in .svg is refused with the reason.
    EXPECT_FALSE(form->charts().exportPicture(dir.filePath("paused.svg")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(SvgUnavailableText()));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("paused.svg")));
    ui.messages.clear();
#endif

    // The range labels stay with the frozen picture; resuming shows the range now.
    click("cmdScaleGyro");
    EXPECT_EQ(text("lblpFS1"), "400");
    action("mnuChartPause")->trigger();
    EXPECT_EQ(text("lblpFS1"), "200");
    EXPECT_EQ(text("lblnFS1"), "-200");
    EXPECT_FALSE(form->charts().paused());
    EXPECT_EQ(action("mnuChartPause")->text(), "&Pause");
    EXPECT_EQ(control<QMenu>("mnuCharts")->title(), "&Charts");
    EXPECT_EQ(pixels(*pic("pic1")), pic("pic1")->image());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ChartKeep, ContextMenusExportTheirOwnChart)
{
    passes(10);
    chosen = dir.filePath("temp"); // no extension: the samples get the log files' one
    pickFromContextMenu(pic("pic2"), "mnuChartContextSamples");
    const QString text = readAll(chosen + ".csv");
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.startsWith("Sample Number,Temp_Out (degC),Temp_Out Samples Ago,\r\n"));
    EXPECT_EQ(text.count("\r\n"), 1 + ChartPositions);
    EXPECT_TRUE(suggestions.back().startsWith("Temp_Out-"));

#ifdef GYRO_HAVE_SVG
    chosen = dir.filePath("rate.svg");
    pickFromContextMenu(pic("pic1"), "mnuChartContextPicture");
    EXPECT_TRUE(QSvgRenderer(chosen).isValid());
#else
    chosen = dir.filePath("rate.png");
    pickFromContextMenu(pic("pic1"), "mnuChartContextPicture");
    EXPECT_FALSE(QImage(chosen).isNull());
#endif

    // Pausing from a chart's menu pauses both, as the Charts menu does.
    pickFromContextMenu(pic("pic1"), "mnuChartPause");
    EXPECT_TRUE(pic("pic1")->paused() && pic("pic2")->paused());
    EXPECT_TRUE(action("mnuChartPause")->isChecked());

    chosen.clear(); // cancelled: nothing written, nothing said
    action("mnuChartExportSamples")->trigger();
    EXPECT_TRUE(ui.messages.empty());
}

// A file that cannot be written is told with its path and the reason, and an
// older file of that name stays as it was.
TEST_F(ChartKeep, AFailedExportSaysWhyAndKeepsTheOlderFile)
{
    passes(5);
    const QString missing = dir.filePath("no/such/folder/charts.png");
    EXPECT_FALSE(form->charts().exportPicture(missing));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(missing));
    EXPECT_TRUE(ui.messages[0].text.contains("Reason: "));

    const QString older = dir.filePath("older.csv");
    {
        QFile file(older);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("kept");
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner); // the folder is read-only
    const bool written = form->charts().exportSamples(older);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (folderPermissionsStopWrites()) {
        EXPECT_FALSE(written);
        EXPECT_EQ(readAll(older), "kept");
    }
}

TEST_F(ChartKeep, AboutTellsTheVersionAndTheInterfaceInUse)
{
    action("mnuAbout")->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    const RecordedMessage& about = ui.messages[0];
    EXPECT_EQ(about.title, "About " + g.AppTitle);
    EXPECT_EQ(about.icon, MsgIcon::Information);
    EXPECT_TRUE(about.text.contains(QStringLiteral("version %1").arg(ProgramVersion)));
    EXPECT_TRUE(about.text.contains("Interface: USB card Ezusb-0")) << about.text.toStdString();

    EXPECT_EQ(AboutText("Gyro Evaluation", "No interface: choose one under Interface", ""),
              QStringLiteral("Gyro Evaluation, version %1\n\nInterface: No interface: choose one under "
                             "Interface\nPlatform: this computer's hardware")
                  .arg(ProgramVersion));
}

// The program's icon as the desktop shows it.
TEST(ProgramIcon, RendersAsADrawing)
{
#ifndef GYRO_HAVE_SVG
    GTEST_SKIP() << "this build has no SVG renderer";
#else
    QSvgRenderer icon(QStringLiteral(GYRO_ICON_FILE));
    ASSERT_TRUE(icon.isValid());
    QImage picture(128, 128, QImage::Format_ARGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    icon.render(&painter);
    painter.end();
    QLabel label;
    label.setPixmap(QPixmap::fromImage(picture));
    SaveScreenshot(label, "program_icon");
#endif
}
