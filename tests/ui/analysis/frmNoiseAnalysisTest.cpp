// The Noise Analysis window on the simulated platform: opened from the Datalog
// menu, the last logging run's file, a still sensor's log with its noise terms in
// the table, the column list, plot export and the copied table, a long file read
// with the progress bar and cancelled, and a file that holds no series.
#include "frmNoiseAnalysis.h"
#include "../main/MainWindowFixture.h"
#include "CommaLocale.h"
#include "DatalogRun.h"
#include "DrawingFormats.h"
#include "RateNoise.h"
#include "Screenshot.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QProgressBar>
#include <QTableWidget>
#include <cmath>
#include <random>

using namespace gyro;
using namespace gyro::test;

namespace {

// A still sensor's log in the program's layout (header, flags, scaled values):
// white noise of 0.04 deg/s rms at 16 samples a second (N = 0.01 deg/sqrt(s) =
// 0.6 deg/sqrt(h)) plus the simulation's bias instability (B = 0.003 deg/s) and
// rate random walk (K = 1e-4 deg/s/sqrt(s)).
QByteArray stillLog(int samples)
{
    const double fs = 16.0;
    std::mt19937_64 engine(21);
    std::normal_distribution<double> white(0.0, 0.04);
    sim::RateNoise slow(4);
    QByteArray text = "File Name,DATALOG_1.csv\r\nDate,12/9/2026\r\nTime,11:00:00\r\nBegin Seconds,1000\r\n";
    text += "End Seconds," + QByteArray::number(1000.0 + samples / fs, 'g', 9) +
            "\r\n \r\nSample #,GyroND,Gyro,\r\n";
    for (int i = 1; i <= samples; ++i) {
        const double rate = 0.5 + white(engine) + slow.advance(1.0 / fs, 0.003, 1e-4);
        const auto count = static_cast<int>(std::lround(rate / 0.018315));
        text += QByteArray::number(i) + ",1," +
                QByteArray::number(static_cast<float>(count) * 0.018315f, 'g', 7) + ",\r\n";
    }
    return text;
}

class NoiseAnalysisWindow : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g.ProgramFolder = dir.path();
        load(2);
        ui.clear();
    }
    void TearDown() override
    {
        ui.onYield = nullptr;
        window.reset();
        MainWindowTest::TearDown();
    }
    frmNoiseAnalysis& open()
    {
        window = std::make_unique<frmNoiseAnalysis>(g, form.get());
        window->chooseFile = [this](bool, const QString&, const QString&) { return answers.takeFirst(); };
        window->show();
        return *window;
    }
    template <class T = QWidget> T* find(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void press(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    QString cell(int row, int column) const
    {
        QTableWidgetItem* item = find<QTableWidget>("grdNoiseTerms")->item(row, column);
        return item ? item->text() : QString();
    }
    QString writeFile(const char* name, const QByteArray& text) const
    {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }

    QStringList answers; // the file names the "dialogs" answer, in order
    std::unique_ptr<frmNoiseAnalysis> window;
};

TEST_F(NoiseAnalysisWindow, OpensFromTheDatalogMenu)
{
    QString name, title;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        name = modal->objectName();
        title = modal->windowTitle();
        static_cast<QDialog*>(modal)->done(QDialog::Rejected);
    });
    action("mnuNoiseAnalysis")->trigger();
    EXPECT_EQ(name, QStringLiteral("frmNoiseAnalysis"));
    EXPECT_EQ(title, QStringLiteral("Noise Analysis"));
}

TEST_F(NoiseAnalysisWindow, TakesTheLastFileOfTheRunJustMade)
{
    open();
    EXPECT_FALSE(find<QAbstractButton>("cmdLastLog")->isEnabled()) << "no run yet";
    window.reset();

    // A logging run over the simulated card writes the file the window offers.
    DatalogSettings settings;
    settings.Folder = dir.path();
    settings.SamplesPerFile = 200;
    settings.ckTime = true;
    settings.SampleDelayMs = 4; // a fresh sample a line (the sensor makes one each 3.9 ms)
    ASSERT_EQ(RunDatalog(g, settings, {}).end, DatalogEnd::Completed);
    ASSERT_EQ(g.LastDatalogFile, dir.filePath(QStringLiteral("DATALOG_1.csv")));

    open();
    ASSERT_TRUE(find<QAbstractButton>("cmdLastLog")->isEnabled());
    press("cmdLastLog");
    EXPECT_EQ(find<QLineEdit>("txtLogFile")->text(), g.LastDatalogFile);
    EXPECT_EQ(find<QComboBox>("cmboColumn")->currentText(), QStringLiteral("Gyro"));
    ASSERT_TRUE(window->result()) << ui.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(find<QLabel>("lblSeries")->text().contains(QStringLiteral("of Gyro")));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(NoiseAnalysisWindow, AStillLogShowsItsNoiseTermsAndExportsItsPlots)
{
    const QString log = writeFile("still.csv", stillLog(1 << 18));
    open();
    answers << log;
    press("cmdOpenLog");
    ASSERT_TRUE(window->result()) << ui.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(find<QProgressBar>("prgReading")->value(), 1000);
    EXPECT_EQ(find<QComboBox>("cmboColumn")->count(), 1); // Gyro: the sample number and flag are no series

    // Rows: N, B, K, the white-noise density; values in the program's units.
    ASSERT_EQ(find<QTableWidget>("grdNoiseTerms")->rowCount(), 4);
    EXPECT_EQ(cell(0, 0), QStringLiteral("N"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("deg/sqrt(h)"));
    EXPECT_NEAR(cell(0, 1).toDouble(), 0.6, 0.6 * 0.1); // 0.01 deg/sqrt(s)
    EXPECT_EQ(cell(1, 0), QStringLiteral("B"));
    EXPECT_NEAR(cell(1, 1).toDouble(), 10.8, 10.8 * 0.35) << "a floor seen with few clusters";
    EXPECT_EQ(cell(3, 0), QStringLiteral("PSD"));
    // One-sided white density sqrt(2) N = 0.01414 (deg/s)/sqrt(Hz).
    EXPECT_NEAR(cell(3, 1).toDouble(), 0.01414, 0.01414 * 0.1);
    SaveScreenshot(*window, QStringLiteral("frmNoiseAnalysis"));

    // The spectrum as a drawing where this build makes SVG, as a picture otherwise.
    const QString psd =
        dir.filePath(SvgDrawingsAvailable ? QStringLiteral("psd.svg") : QStringLiteral("psd.png"));
    answers << dir.filePath(QStringLiteral("allan.png")) << psd;
    press("cmdExportAllan");
    press("cmdExportPsd");
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("allan.png"))).size(), QSize(1000, 700));
    QFile drawing(psd);
    ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
    EXPECT_TRUE(drawing.readAll().contains(SvgDrawingsAvailable ? "<svg" : "PNG"));

    press("cmdCopyTable");
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(QStringLiteral("tau_s\tadev\tlower\tupper\tclusters")));
    EXPECT_TRUE(copied.contains(QStringLiteral("term\tvalue\tunit")));
    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(NoiseAnalysisWindow, ALongFileMovesTheProgressBarAndCanBeCancelled)
{
    const QString log = writeFile("long.csv", stillLog(400000));
    open();
    int progressSeen = 0;
    ui.onYield = [&] {
        progressSeen = std::max(progressSeen, find<QProgressBar>("prgReading")->value());
        if (progressSeen > 0 && find<QAbstractButton>("cmdAnalyze")->text() == QStringLiteral("Cancel"))
            press("cmdAnalyze");
    };
    answers << log;
    press("cmdOpenLog");
    EXPECT_GT(progressSeen, 0);
    EXPECT_FALSE(window->isRunning());
    EXPECT_FALSE(window->result());
    EXPECT_EQ(find<QLabel>("lblStage")->text(), QStringLiteral("Cancelled"));
    EXPECT_EQ(find<QAbstractButton>("cmdAnalyze")->text(), QStringLiteral("Analyze"));
    EXPECT_TRUE(find<QAbstractButton>("cmdOpenLog")->isEnabled());
    EXPECT_TRUE(ui.messages.empty());

    ui.onYield = nullptr;
    press("cmdAnalyze"); // the same file again, to its end
    EXPECT_TRUE(window->result());
}

TEST_F(NoiseAnalysisWindow, ClosingDuringAnAnalysisCancelsItThenCloses)
{
    const QString log = writeFile("long.csv", stillLog(400000));
    open();
    bool closed = false;
    ui.onYield = [&] {
        if (!closed && window->isRunning()) {
            closed = true;
            QTest::keyClick(window.get(), Qt::Key_Escape);
        }
    };
    answers << log;
    press("cmdOpenLog");
    EXPECT_TRUE(closed);
    EXPECT_FALSE(window->isRunning());
    EXPECT_FALSE(window->result()) << "stopped, not read to the end";
    EXPECT_FALSE(window->isVisible());
}

TEST_F(NoiseAnalysisWindow, AFileWithoutASeriesIsToldAndKeepsTheWindow)
{
    const QString empty = writeFile("empty.csv", "nothing here\r\n");
    open();
    find<QLineEdit>("txtRate")->setText(QStringLiteral("100"));
    answers << empty;
    press("cmdOpenLog");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("at least 2")))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(window->result());
    EXPECT_FALSE(find<QAbstractButton>("cmdExportAllan")->isEnabled());

    ui.clear();
    find<QLineEdit>("txtRate")->setText(QStringLiteral("fast"));
    press("cmdAnalyze");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("Samples/s")));
}

// A file that is not a log (the settings file) is told as such, and the results of
// the file before are cleared: nothing of another file stays to be exported.
TEST_F(NoiseAnalysisWindow, AFileThatIsNoLogClearsTheResultsShown)
{
    open();
    answers << writeFile("still.csv", stillLog(4096));
    press("cmdOpenLog");
    ASSERT_TRUE(find<QAbstractButton>("cmdExportAllan")->isEnabled());
    answers << writeFile("CommPort.cfg", "Interface =  2\r\nPort Address =  888\r\nFactory =  0\r\n");
    press("cmdOpenLog");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("holds no samples of a log")))
        << ui.messages[0].text.toStdString();
    EXPECT_TRUE(find<QLabel>("lblSeries")->text().isEmpty());
    EXPECT_EQ(find<QTableWidget>("grdNoiseTerms")->rowCount(), 0);
    for (const char* button : {"cmdExportAllan", "cmdExportPsd", "cmdCopyTable"})
        EXPECT_FALSE(find<QAbstractButton>(button)->isEnabled()) << button;
}

// Under a comma locale the rate is typed and shown with a comma, and so are the
// summary and the table's numbers.
TEST_F(NoiseAnalysisWindow, NumbersFollowTheLocalesDecimalMark)
{
    GYRO_UNDER_COMMA_LOCALE();
    open();
    find<QLineEdit>("txtRate")->setText(QStringLiteral("256,5"));
    answers << writeFile("still.csv", stillLog(4096));
    press("cmdOpenLog");
    ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text.toStdString();
    const QString summary = find<QLabel>("lblSeries")->text();
    EXPECT_TRUE(summary.contains(QStringLiteral("256,5 samples a second (given)"))) << summary.toStdString();
    const int rows = find<QTableWidget>("grdNoiseTerms")->rowCount();
    ASSERT_GT(rows, 0);
    const QString density = cell(rows - 1, 1); // the white-noise density, below 1
    EXPECT_TRUE(density.startsWith(QStringLiteral("0,"))) << density.toStdString();
}

} // namespace
