// The datalog window on the simulated platform: its defaults, the correction of
// its number boxes, the start/cancel button, and the ways a run can be ended from
// outside (title bar, main window, program end) without losing a sample.
#include "frmDatalog.h"
#include "../main/MainWindowFixture.h"
#include "Screenshot.h"
#include "SensorPacedSampling.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>

using namespace gyro;
using namespace gyro::test;

namespace {

// The data lines of a file: those that start with a sample number.
int sampleLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int count = 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        count += !line.isEmpty() && std::isdigit(static_cast<unsigned char>(line[0])) ? 1 : 0;
    return count;
}

} // namespace

class Datalog : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g.ProgramFolder = dir.path();
        load(2);
        ui.clear();
        framesOut();
    }

    // The window as the main window's menu makes it, shown without its own loop:
    // the run happens inside the start click either way.
    frmDatalog& open()
    {
        window = std::make_unique<frmDatalog>(
            g, form.get(), [this] { control<QAbstractButton>("ckLoop")->setChecked(false); });
        window->show();
        return *window;
    }
    template <class T = QWidget> T* find(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    void start() { QTest::mouseClick(find<QAbstractButton>("cmdStartDatalog"), Qt::LeftButton); }
    QString logPath(int n) const { return dir.filePath(QStringLiteral("DATALOG_%1.csv").arg(n)); }

    // Runs `action` once, on the yield after the `sample`th sample of file `file`:
    // a running log yields once as a file begins and once after each sample.
    void atSample(int file, int sample, std::function<void()> action)
    {
        ui.onYield = [this, file, sample, action, yields = -1]() mutable {
            if (yields == sample || !window->isRunning() ||
                box("txtFileNum")->text() != QString::number(file))
                return;
            if (++yields == sample)
                action();
        };
    }

    void TearDown() override
    {
        ui.onYield = nullptr;
        window.reset();
        MainWindowTest::TearDown();
    }

    std::unique_ptr<frmDatalog> window;
};

TEST_F(Datalog, OpensFromTheMenuWithItsDefaultsAndClearsTheMainLoop)
{
    ASSERT_TRUE(control<QAbstractButton>("ckLoop")->isChecked());
    QAction* item = action("mnuDatalog");
    EXPECT_TRUE(item->isEnabled());

    QString title;
    // Once the window runs its own loop (its load yields before that).
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        poll.stop();
        title = modal->windowTitle();
        window.reset(static_cast<frmDatalog*>(modal)); // inspected below, then closed
        SaveScreenshot(*window, QStringLiteral("frmDatalog_idle"));
        struct Expect {
            const char* name;
            QString text;
            bool enabled;
        };
        const Expect boxes[] = {{"txtSamplesPerFile", "1000", true},
                                {"txtSampleDelay", "0", true},
                                {"txtFilesPerSession", "1", true},
                                {"txtFileName", "DATALOG", true},
                                {"txtDirectory", QDir::toNativeSeparators(dir.path()), true},
                                {"txtFileNum", "1", false}};
        for (const Expect& e : boxes) {
            EXPECT_EQ(box(e.name)->text(), e.text) << e.name;
            EXPECT_EQ(box(e.name)->isEnabled(), e.enabled) << e.name;
        }
        EXPECT_EQ(find<QLabel>("lblFext")->text(), ".csv");
        EXPECT_EQ(window->FileName, "DATALOG");
        EXPECT_EQ(window->SamplesPerFile, 1000);
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(window->CheckReg(k)->isChecked(), k == 2) << k;
        for (const char* name :
             {"ckTime", "ckReSetAngle", "ckDisableNewDataFlags", "ckNoScaling", "ckNoHeader"})
            EXPECT_FALSE(find<QCheckBox>(name)->isChecked()) << name;
        for (const char* name : {"LBLDatalogInProgress", "lblInProgress", "prgSamples"})
            EXPECT_FALSE(find(name)->isVisible()) << name;
        EXPECT_EQ(find<QAbstractButton>("cmdStartDatalog")->text(), "Start Datalog");
        window.release()->done(QDialog::Rejected);
    });
    poll.start(0);
    item->trigger();
    EXPECT_EQ(title, "Datalog Control");
    EXPECT_FALSE(control<QAbstractButton>("ckLoop")->isChecked());
}

TEST_F(Datalog, NumberBoxesSettleWithinTheirLimitsAndTheFolderStays)
{
    open();
    struct Case {
        const char* box;
        const char* typed;
        const char* settled;
    };
    const Case cases[] = {
        {"txtSamplesPerFile", "abc", "1000"},
        {"txtSamplesPerFile", "0", "1"},
        {"txtSamplesPerFile", "3000000000", "2147483647"},
        {"txtSamplesPerFile", "2.5", "2.5"},
        {"txtFilesPerSession", "x1", "1"},
        {"txtFilesPerSession", "-3", "1"},
        {"txtFilesPerSession", "2000000001", "2000000000"},
        {"txtSampleDelay", "-5", "0"},
        {"txtSampleDelay", "40000", "32000"},
        {"txtSampleDelay", "", "0"},
        {"txtDirectory", "/elsewhere", nullptr},
    };
    for (const Case& c : cases) {
        box(c.box)->setText(QString::fromLatin1(c.typed));
        const QString expected =
            c.settled ? QString::fromLatin1(c.settled) : QDir::toNativeSeparators(dir.path());
        EXPECT_EQ(box(c.box)->text(), expected) << c.box << " " << c.typed;
    }
    EXPECT_EQ(window->SamplesPerFile, 2.5);
    EXPECT_EQ(window->FilesPerSession, 2000000000);
    box("txtFileName")->setText("bench 7");
    EXPECT_EQ(window->FileName, "bench 7");
}

TEST_F(Datalog, StartWithoutADataSelectionOnlyAsksForOne)
{
    open();
    for (int k = 1; k <= 5; ++k)
        window->CheckReg(k)->setChecked(false);
    find<QCheckBox>("ckTime")->setChecked(true);
    start();
    EXPECT_EQ(ui.texts(), QStringList{"Please check at least one DATA SELECTION box."});
    EXPECT_EQ(find<QAbstractButton>("cmdStartDatalog")->text(), "Start Datalog");
    EXPECT_TRUE(QDir(dir.path()).entryList({"DATALOG*"}).isEmpty());
    EXPECT_TRUE(framesOut().empty());
}

TEST_F(Datalog, ARunShowsItselfAndWritesItsFilesInTheProgramFolder)
{
    open();
    box("txtSamplesPerFile")->setText("20");
    box("txtFilesPerSession")->setText("2");
    box("txtSampleDelay")->setText("10");
    bool checked = false;
    atSample(2, 15, [&] {
        checked = true;
        EXPECT_EQ(find<QAbstractButton>("cmdStartDatalog")->text(), "Cancel Datalog");
        for (const char* name : {"LBLDatalogInProgress", "lblInProgress", "prgSamples"})
            EXPECT_TRUE(find(name)->isVisible()) << name;
        for (const char* name : {"CheckReg_1", "CheckReg_5", "ckTime", "ckNoHeader", "txtSamplesPerFile",
                                 "txtFileName", "txtDirectory"})
            EXPECT_FALSE(find(name)->isEnabled()) << name;
        // The bar follows a few times a second: 10 ms a sample makes ten samples a step.
        const QProgressBar* progress = find<QProgressBar>("prgSamples");
        EXPECT_EQ(progress->maximum(), 20);
        EXPECT_GE(progress->value(), 10);
        EXPECT_LE(progress->value(), 15);
        SaveScreenshot(*window, QStringLiteral("frmDatalog_running"));
    });
    start();
    EXPECT_TRUE(checked);
    EXPECT_EQ(sampleLines(logPath(1)), 20);
    EXPECT_EQ(sampleLines(logPath(2)), 20);
    EXPECT_EQ(find<QAbstractButton>("cmdStartDatalog")->text(), "Start Datalog");
    EXPECT_FALSE(find("lblInProgress")->isVisible());
    EXPECT_TRUE(find("txtSamplesPerFile")->isEnabled());
    EXPECT_TRUE(ui.messages.empty());
}

// A second click, the title bar's close, and the main window's close during
// file 2 of 3: file 2 holds exactly the samples taken, file 3 is never begun.
TEST_F(Datalog, EveryWayOfStoppingARunCompletesTheCurrentFile)
{
    struct Case {
        const char* how;
        std::function<void()> stop;
        bool windowStaysOpen;
        int programEnded;
    };
    const Case cases[] = {
        {"cancel click",
         [this] {
             start(); // nested in the run's yield
             EXPECT_EQ(find<QAbstractButton>("cmdStartDatalog")->text(), "Start Datalog");
         },
         true, 0},
        {"title bar", [this] { window->close(); }, false, 0},
        {"main window closed", [this] { form->close(); }, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        for (int n = 1; n <= 3; ++n)
            QFile::remove(logPath(n));
        if (!form)
            load(2);
        open();
        QSignalSpy ended(form.get(), &frmForm1::programEnded);
        box("txtSamplesPerFile")->setText("50");
        box("txtFilesPerSession")->setText("3");
        atSample(2, 7, c.stop);
        start();
        EXPECT_EQ(sampleLines(logPath(1)), 50);
        EXPECT_EQ(sampleLines(logPath(2)), 7);
        EXPECT_FALSE(QFile::exists(logPath(3)));
        EXPECT_EQ(window->isVisible(), c.windowStaysOpen);
        EXPECT_FALSE(window->isRunning());
        EXPECT_EQ(ended.count(), c.programEnded);
        ui.onYield = nullptr;
        window.reset();
        form.reset();
    }
}

// A cancel or the title bar's close during a 32 s delay between samples ends the
// run in the delay's first 20 ms slice (simulated time), with the sample taken.
TEST_F(Datalog, AStopDuringALongDelayEndsTheRunWithoutWaitingItOut)
{
    struct Case {
        const char* how;
        std::function<void()> stop;
        bool windowStaysOpen;
    };
    const Case cases[] = {
        {"cancel click", [this] { start(); }, true},
        {"title bar", [this] { window->close(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        QFile::remove(logPath(1));
        open();
        box("txtSamplesPerFile")->setText("100");
        box("txtSampleDelay")->setText("32000");
        atSample(1, 1, c.stop); // the first yield after sample 1 comes inside its delay
        const double before = sim.clock().monotonicSeconds();
        start();
        EXPECT_LT(sim.clock().monotonicSeconds() - before, 1.0);
        EXPECT_EQ(sampleLines(logPath(1)), 1);
        EXPECT_FALSE(window->isRunning());
        EXPECT_EQ(window->isVisible(), c.windowStaysOpen);
        ui.onYield = nullptr;
        window.reset();
    }
}

TEST_F(Datalog, ADecimalCommaMakesTabSeparatedTxtFiles)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    open();
    EXPECT_EQ(find<QLabel>("lblFext")->text(), ".txt");
    box("txtSamplesPerFile")->setText("1");
    find<QCheckBox>("ckNoHeader")->setChecked(true);
    start();
    QLocale::setDefault(previous);

    QFile file(dir.filePath("DATALOG_1.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> fields = file.readAll().split('\t');
    ASSERT_EQ(fields.size(), 4); // number, flag, rate, and the CR LF after the last tab
    EXPECT_EQ(fields[0], "1");
    EXPECT_FALSE(fields[2].contains('.'));
    EXPECT_EQ(fields[3], "\r\n");
}

// "One line per sensor sample", off by default: a checked box makes a run wait for
// each sample of the sensor (2048 a second here), every line with its new-data flag
// and about 1/2048 s after the one before; the status line and, when samples were
// missed, a message tell the count.
TEST_F(Datalog, EverySampleBoxPacesTheRunByTheSensor)
{
    open();
    auto* everySample = find<QCheckBox>("chkEverySample");
    ASSERT_NE(everySample, nullptr);
    EXPECT_FALSE(everySample->isChecked());
    sim.sensor().setRegisterWord(0x36, 0x0000); // Smpl_Prd: 2048 samples a second
    everySample->setChecked(true);
    find<QCheckBox>("ckTime")->setChecked(true);
    find<QCheckBox>("ckNoHeader")->setChecked(true);
    box("txtSamplesPerFile")->setText("2048");
    atSample(1, 1000, [&] {
        EXPECT_FALSE(everySample->isEnabled());
        sim.fakeClock()->advance(4.2 / 2048); // a stall: three samples go by
    });
    start();

    QFile file(logPath(1));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    double before = -1;
    int lines = 0;
    int longSteps = 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(',');
        if (fields.size() < 4)
            continue;
        ++lines;
        EXPECT_EQ(fields[2], "1") << "line " << lines;
        const double time = fields[1].toDouble();
        if (before >= 0 && std::abs(time - before - 1.0 / 2048) > 0.3 / 2048)
            ++longSteps;
        before = time;
    }
    EXPECT_EQ(lines, 2048);
    EXPECT_EQ(longSteps, 1); // the stall's, and no other
    EXPECT_TRUE(everySample->isEnabled());
    EXPECT_EQ(find<QLabel>("lblRunStatus")->text(), "One line per sensor sample: 2048 taken, 3 missed");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.front().text, SamplesMissedNote(3));
    SaveScreenshot(*window, QStringLiteral("frmDatalog_every_sample"));
}
