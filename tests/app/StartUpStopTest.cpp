// Ctrl+C or SIGTERM during start-up: the program ends without writing the
// interface defaults over CommPort.cfg, and keeps what the user chose before.
#include "StartUpStop.h"
#include "CloseOnSignal.h"
#include "InterfaceSettings.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

// Runs `action` once, soon after a window with `objectName` shows.
class OnWindowShown final : public QObject {
public:
    OnWindowShown(QString objectName, std::function<void()> action)
        : objectName_(std::move(objectName)), action_(std::move(action))
    {
        qApp->installEventFilter(this);
    }
    ~OnWindowShown() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == objectName_ && action_) {
            QTimer::singleShot(0, this, std::exchange(action_, nullptr));
        }
        return false;
    }

private:
    QString objectName_;
    std::function<void()> action_;
};

struct StartUpStopTest : ::testing::Test {
    explicit StartUpStopTest(sim::SimOptions options = {}) : sim(options) {}
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    void writeSettings(const QByteArray& text)
    {
        QFile file(InterfaceSettingsFileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray settings() const
    {
        QFile file(InterfaceSettingsFileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    // The start-up as gyroeval runs it, with a stop asked for by `stopAt`.
    ProgramWindows startUp()
    {
        return Main(g, [this] { return stopAsked; });
    }
    void stopNow()
    {
        stop.request();
        stopAsked = true;
    }

    QTemporaryDir dir;
    QString previous;
    sim::SimPlatform sim;
    test::RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
    StartUpStop stop{g};
    bool stopAsked = false;
};

struct StartUpStopWithoutCard : StartUpStopTest {
    StartUpStopWithoutCard() : StartUpStopTest({.usbCardAttached = false}) {}
};

} // namespace

TEST_F(StartUpStopTest, StopDuringAStartUpMessageLeavesTheFileByteForByte)
{
    // Interface 0: the load shows "Please select an interface before taking data".
    const QByteArray file("Port Address = 632\n"); // not the form the writer would give it
    writeSettings(file);
    ui.onMessage = [this](const QString&) { stopNow(); };

    const ProgramWindows windows = startUp();
    EXPECT_TRUE(windows.stopped);
    QString failure;
    EXPECT_TRUE(stop.finish(windows, InterfaceSettingsFileName, &failure)) << failure.toStdString();
    EXPECT_EQ(settings(), file);
}

// The card of the file is missing, so the load opens the card selection window.
// Cut short, the window leaves no card and the load falls back to no interface:
// that fallback is no choice of the user's and must not reach the file.
TEST_F(StartUpStopWithoutCard, StopDuringTheCardWindowKeepsOnlyWhatTheUserChose)
{
    struct Case {
        const char* what;
        std::function<void(GyroState&)> choice; // made in the window before the stop
        QByteArray expected;
    };
    const QByteArray file("Interface = 2\r\nProduct = 27140\r\n");
    const Case cases[] = {
        {"nothing chosen", {}, file},
        {"a model chosen", [](GyroState& state) { state.ProductNumber = 27130; },
         "Interface =  2\r\nPort Address =  0\r\nFactory =  0\r\nProduct =  27130\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeSettings(file);
        stopAsked = false;
        StartUpStop caseStop(g);
        bool windowShown = false;
        const OnWindowShown inWindow(QStringLiteral("frmUSBselect"), [&] {
            windowShown = true;
            if (c.choice)
                c.choice(g);
            caseStop.request();
            stopAsked = true;
        });
        const ProgramWindows windows = startUp();
        EXPECT_TRUE(windowShown);
        EXPECT_TRUE(windows.stopped);
        EXPECT_EQ(windows.main == nullptr || !windows.main->isVisible(), true);
        QString failure;
        EXPECT_TRUE(caseStop.finish(windows, InterfaceSettingsFileName, &failure)) << failure.toStdString();
        EXPECT_EQ(settings(), c.expected);
    }
}

#if defined(GYRO_EVAL_PROGRAM) && defined(Q_OS_UNIX)
// The real program, stopped while it calibrates its delay loop (its first seconds).
TEST(GyroevalSignals, SignalDuringTheCalibrationEndsCleanlyAndKeepsTheFile)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QTemporaryDir dir;
        const QByteArray file("Interface = 2\nPort Address = 888\n");
        QFile settings(dir.filePath(QStringLiteral("CommPort.cfg")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(file);
        settings.close();

        QProcess program;
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(GYRO_EVAL_PROGRAM), {QStringLiteral("--simulate")});
        ASSERT_TRUE(program.waitForStarted());
        QThread::msleep(700); // inside the calibration, which takes about four seconds
        ::kill(static_cast<pid_t>(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        EXPECT_EQ(settings.readAll(), file);
    }
}
#else
TEST(GyroevalSignals, SignalDuringTheCalibrationEndsCleanlyAndKeepsTheFile)
{
    GTEST_SKIP() << "needs POSIX signals sent to another process";
}
#endif
