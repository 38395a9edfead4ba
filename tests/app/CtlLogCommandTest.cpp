// `gyroctl log`: its options and their limits, the files it writes (the window's
// layout), Ctrl+C / SIGTERM / SIGHUP / a kill in the middle of a run, and a file
// size limit.
#include "CtlFixture.h"
#include "CtlInterrupt.h"
#include "LogLines.h"
#include "SpiTrace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace gyro;

namespace {

struct CtlLog : test::CtlFixture {
    QTemporaryDir dir;

    CtlLog()
    {
        g.DelayCalibrated = true;
        g.InterfaceType = 2;
    }

    int log(QStringList arguments)
    {
        return runCommand(QStringLiteral("log"), arguments << QStringLiteral("--dir") << dir.path());
    }
    QByteArray fileBytes(const QString& name) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

// The signals that ask a run to stop (Windows has no SIGHUP).
const std::vector<int> InterruptSignals{SIGINT, SIGTERM,
#ifdef SIGHUP
                                        SIGHUP
#endif
};

// Raises a signal once `frames` SPI frames have crossed, as a user's Ctrl+C would.
class SignalAfterFrames final : public SpiTrace {
public:
    SignalAfterFrames(int signal, int frames) : signal_(signal), left_(frames) {}
    void frame(SpiInterface, std::uint16_t, int) override
    {
        if (--left_ == 0)
            std::raise(signal_);
    }

private:
    int signal_;
    int left_;
};

} // namespace

TEST_F(CtlLog, OptionsBeyondTheWindowsLimitsAreUsageErrorsBeforeAnyTraffic)
{
    const QStringList bad[] = {
        {"--samples", "0"},        {"--samples", "2147483648"}, {"--samples", "1.5"}, {"--files", "0"},
        {"--files", "2000000001"}, {"--delay", "-1"},           {"--delay", "32001"}, {"--delay", "soon"},
        {"--select", "gyro,rate"}, {"--select", ","},           {"--samples"},        {"--colour"},
        {"--rate", "fast"},        {"--rate", "2,048"},         {"--rate"},           {"--rate", "inf"},
        {"--rate", "nan"},         {"--delay", "nan"},          {"--delay", "inf"},
    };
    for (const QStringList& arguments : bad) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        errText.clear();
        EXPECT_EQ(log(arguments), ExitUsage);
        EXPECT_FALSE(errText.isEmpty());
    }
    // A name that cannot be a file's is refused with the reason.
    const std::pair<const char*, const char*> names[] = {{"a/b", "another folder"},
                                                         {"a\\b", "Windows"},
                                                         {"a\nb", "line break"},
                                                         {"a\tb", "control character"}};
    for (const auto& [name, reason] : names) {
        errText.clear();
        EXPECT_EQ(log({"--name", name}), ExitUsage) << name;
        EXPECT_TRUE(errText.contains(QLatin1String(reason))) << errText.toStdString();
    }
    CtlOptions options;
    options.command = QStringLiteral("log");
    options.arguments = QStringList{"--dir", dir.filePath("missing")};
    EXPECT_EQ(RunCtlCommand(options, g, ui, out, err), ExitUsage);
    EXPECT_TRUE(sim.sensor().trace().empty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(outText.isEmpty());
}

TEST_F(CtlLog, WritesTheWindowsLayoutAndPrintsEachFile)
{
    // Supply 2732 counts (no new-data flag), Angle 1000 counts with the flag.
    sim.sensor().setRegisterWord(0x02, 2732);
    sim.sensor().setRegisterWord(0x0E, 0x8000 | 1000);
    ASSERT_EQ(log({"--samples", "2", "--files", "2", "--name", "bench", "--select", "angle,supply", "--raw",
                   "--no-header"}),
              ExitOk)
        << errText.toStdString();
    EXPECT_EQ(outText, dir.filePath("bench_1.csv") + "\n" + dir.filePath("bench_2.csv") + "\n");
    for (const char* name : {"bench_1.csv", "bench_2.csv"})
        EXPECT_EQ(fileBytes(name), "1,0,2732,1,1000,\r\n2,0,2732,1,1000,\r\n") << name;
}

// --rate sets the period first (2048: Smpl_Prd 0), --every-sample takes each sample
// once (flag 1, 1/2048 s apart, microseconds), --stdout puts the data lines on
// standard output and makes no file.
TEST_F(CtlLog, EverySampleAtARateOnStandardOutput)
{
    ASSERT_EQ(log({"--every-sample", "--rate", "2048", "--samples", "300", "--time", "--stdout"}), ExitOk)
        << errText.toStdString();
    EXPECT_EQ(sim.sensor().registerWord(0x36), 0x0000);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    const QStringList lines = outText.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 300);
    double before = -1;
    for (qsizetype j = 0; j < lines.size(); ++j) {
        const QStringList fields = lines[j].split(',');
        ASSERT_EQ(fields.size(), 5) << lines[j].toStdString(); // number, time, flag, value, end
        EXPECT_EQ(fields[0], QString::number(j + 1));
        EXPECT_EQ(fields[1].section('.', 1).size(), 6) << "microseconds";
        EXPECT_EQ(fields[2], "1");
        const double time = fields[1].toDouble();
        if (before >= 0) {
            EXPECT_NEAR(time - before, 1.0 / 2048, 0.3 / 2048) << j;
        }
        before = time;
    }
    EXPECT_TRUE(errText.isEmpty()) << errText.toStdString();

    // The same run into a file keeps the file's layout: header and CR LF lines.
    outText.clear();
    ASSERT_EQ(log({"--every-sample", "--samples", "5"}), ExitOk);
    EXPECT_EQ(outText, dir.filePath("DATALOG_1.csv") + "\n");
    EXPECT_TRUE(fileBytes("DATALOG_1.csv").contains("Sample #,GyroND,Gyro,\r\n1,1,"));
}

TEST_F(CtlLog, AnInterruptEndsTheRunWithTheCurrentFileWrittenWhole)
{
    for (const int signal : InterruptSignals) {
        SCOPED_TRACE(signal);
        ResetCtlInterrupt();
        outText.clear();
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        // The range (Sens_Avg) is read first; each Gyro_Out read is two frames: the
        // signal comes during sample 40.
        SignalAfterFrames interrupt(signal, 2 + 79);
        g.spiTrace = &interrupt;
        CatchCtlInterrupt(); // before the first frame: the run installs it again
        EXPECT_EQ(log({"--samples", "100000000", "--files", "3"}), ExitInterrupted);
        g.spiTrace = nullptr;

        EXPECT_EQ(outText, dir.filePath("DATALOG_1.csv") + "\n");
        const QList<QByteArray> lines = fileBytes("DATALOG_1.csv").split('\n');
        ASSERT_EQ(lines.size(), 7 + 40 + 1); // header, forty whole samples, nothing after the last CR LF
        EXPECT_TRUE(lines[7 + 39].startsWith("40,"));
        EXPECT_FALSE(QFile::exists(dir.filePath("DATALOG_2.csv")));
    }
    ResetCtlInterrupt();
    for (const int signal : InterruptSignals)
        std::signal(signal, SIG_DFL);
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_DFL);
#endif
}

#ifdef Q_OS_UNIX
// The program itself, started as a shell starts it (the file size signal at its
// default) under a small file size limit: the run ends with the reason, not killed
// by the signal, and keeps the samples that fitted in the partial file it names.
TEST(GyroctlProgram, ALogOverTheFileSizeLimitEndsWithTheReason)
{
    QTemporaryDir dir;
    QProcess gyroctl;
    gyroctl.setWorkingDirectory(dir.path());
    gyroctl.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    gyroctl.start(QStringLiteral(GYROCTL_PROGRAM),
                  {"--simulate", "--interface", "usb", "log", "--samples", "100000", "--dir", dir.path()});
    ASSERT_TRUE(gyroctl.waitForFinished(60000));
    EXPECT_EQ(gyroctl.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gyroctl.exitCode(), ExitTransportFailed);
    const QString err = QString::fromLocal8Bit(gyroctl.readAllStandardError());
    EXPECT_TRUE(err.contains("File name = DATALOG_1.csv.partial /")) << err.toStdString();
    EXPECT_TRUE(err.contains("Reason: " + QString::fromLocal8Bit(std::strerror(EFBIG)))) << err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"DATALOG_1.csv.partial"});
    QFile partial(dir.filePath("DATALOG_1.csv.partial"));
    ASSERT_TRUE(partial.open(QIODevice::ReadOnly));
    EXPECT_GT(test::NumberedLines(partial.readAll()), 1000);
}

// The program itself, stopped by a signal in the middle of a log. A kill (SIGKILL,
// SIGQUIT) leaves the samples that reached the disk, in whole lines, in the partial
// file; SIGHUP (a closed terminal) and Ctrl+C complete the file, Ctrl+C also in
// the middle of a 32 s delay. No run leaves a folder in the temporary folder.
TEST(GyroctlProgram, ASignalMidLogKeepsTheSamplesTaken)
{
    struct Case {
        int signal;
        QStringList run;
        qint64 partialBytes; // on disk before the signal goes
        bool completes;
    };
    const QStringList endless{"--samples", "100000000", "--time"};
    const Case cases[] = {
        {SIGKILL, endless, 256 * 1024, false},
        {SIGQUIT, endless, 256 * 1024, false},
        {SIGHUP, endless, 256 * 1024, true},
        {SIGINT, {"--samples", "100", "--delay", "32000"}, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(strsignal(c.signal));
        QTemporaryDir dir;
        QTemporaryDir temp;
        QProcess gyroctl;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", temp.path());
        gyroctl.setProcessEnvironment(environment);
        gyroctl.setWorkingDirectory(dir.path());
        gyroctl.setChildProcessModifier([] {
            const rlimit noCore{0, 0}; // SIGQUIT leaves no core file
            ::setrlimit(RLIMIT_CORE, &noCore);
        });
        gyroctl.start(QStringLiteral(GYROCTL_PROGRAM),
                      QStringList{"--simulate", "--interface", "usb", "log", "--dir", dir.path()} + c.run);
        ASSERT_TRUE(gyroctl.waitForStarted());
        // Polled, not timed: the signal goes once the samples are on disk.
        const QString partial = dir.filePath("DATALOG_1.csv.partial");
        for (int poll = 0; poll < 6000 && QFileInfo(partial).size() < c.partialBytes &&
                           gyroctl.state() == QProcess::Running;
             ++poll)
            QThread::msleep(5);
        ASSERT_GE(QFileInfo(partial).size(), c.partialBytes);
        ::kill(static_cast<pid_t>(gyroctl.processId()), c.signal);
        ASSERT_TRUE(gyroctl.waitForFinished(20000)); // well before a 32 s delay is over

        const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (c.completes) {
            EXPECT_EQ(gyroctl.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(gyroctl.exitCode(), ExitInterrupted);
            EXPECT_EQ(QString::fromLocal8Bit(gyroctl.readAllStandardOutput()),
                      dir.filePath("DATALOG_1.csv") + "\n");
            ASSERT_EQ(entries, QStringList{"DATALOG_1.csv"});
            QFile file(dir.filePath("DATALOG_1.csv"));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            qsizetype pos = 0;
            for (int line = 0; line < 7 && pos >= 0; ++line) // the header
                pos = bytes.indexOf("\r\n", pos) + 2;
            EXPECT_GE(test::NumberedLines(bytes.mid(pos)), 1);
        } else {
            EXPECT_EQ(gyroctl.exitStatus(), QProcess::CrashExit);
            ASSERT_EQ(entries, QStringList{"DATALOG_1.csv.partial"});
            QFile file(partial);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_GT(test::NumberedLines(file.readAll()), 1000);
        }
        EXPECT_TRUE(QDir(temp.path()).isEmpty()) << QDir(temp.path()).entryList().join(' ').toStdString();
    }
}
#else
TEST(GyroctlProgram, ALogOverTheFileSizeLimitEndsWithTheReason)
{
    GTEST_SKIP() << "needs file size limits (POSIX)";
}

TEST(GyroctlProgram, ASignalMidLogKeepsTheSamplesTaken)
{
    GTEST_SKIP() << "needs POSIX signals sent to another process";
}
#endif
