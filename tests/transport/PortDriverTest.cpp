// The port driver installation over an in-memory registry and the simulated
// installer: when it runs, what the batch file holds, what the user is told.
#include "PortDriver.h"
#include "FailureShown.h"
#include "GyroState.h"
#include "SimProcessRunner.h"
#include "TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gyro {
namespace {

const QString FailureText = QStringLiteral("The required I/O drivers could not be installed.");

RegistryValue dword(std::uint32_t n)
{
    RegistryValue v;
    v.type = RegistryValue::Type::Dword;
    v.number = n;
    return v;
}

RegistryValue text(const QString& s)
{
    RegistryValue v;
    v.type = RegistryValue::Type::String;
    v.text = s;
    return v;
}

class PortDriverTest : public ::testing::Test {
protected:
    PortDriverTest()
    {
        folder = QDir::toNativeSeparators(tempDir.filePath(QStringLiteral("Program Files/Gyro Eval")));
        QDir().mkpath(folder);
        g.ProgramFolder = folder;
        batchPath = folder + QDir::separator() + QStringLiteral("temp.bat");
    }

    void setStart(const RegistryValue& v)
    {
        registry.setValue(PortDriverServiceKey, QStringLiteral("Start"), v);
    }
    std::optional<RegistryValue> start()
    {
        return registry.queryValue(PortDriverServiceKey, QStringLiteral("Start"));
    }
    bool startIs(std::uint32_t n)
    {
        const auto v = start();
        return v && v->type == RegistryValue::Type::Dword && v->number == n;
    }

    QTemporaryDir tempDir;
    QString folder;
    QString batchPath;
    test::TestBackends backends;
    InMemoryRegistry& registry = backends.registry;
    sim::SimProcessRunner processes{registry};
    Platform platform = backends.platform({.processes = &processes});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
};

TEST_F(PortDriverTest, AutomaticStartMeansNothingToDo)
{
    for (const RegistryValue& v : {dword(2), text(QStringLiteral("2"))}) {
        setStart(v);
        EXPECT_TRUE(InstallPortDriver(g).ok());
    }
    EXPECT_FALSE(QFile::exists(batchPath));
    EXPECT_TRUE(processes.commandLines().isEmpty());
}

TEST_F(PortDriverTest, MissingServiceIsInstalledAndSetToAutomaticStart)
{
    EXPECT_TRUE(InstallPortDriver(g).ok());
    EXPECT_EQ(processes.commandLines().size(), 1);
    EXPECT_TRUE(QFile::exists(batchPath));
    EXPECT_TRUE(startIs(2));

    EXPECT_TRUE(InstallPortDriver(g).ok()); // now a second call finds it installed
    EXPECT_EQ(processes.commandLines().size(), 1);
}

TEST_F(PortDriverTest, OnDemandStartIsReinstalledAndSetToAutomatic)
{
    setStart(dword(3));
    EXPECT_TRUE(InstallPortDriver(g).ok());
    EXPECT_EQ(processes.commandLines().size(), 1);
    EXPECT_TRUE(startIs(2));
}

TEST_F(PortDriverTest, InstallerThatDoesNotLeaveOnDemandStartIsReported)
{
    processes.setBehaviour(sim::SimProcessRunner::Behaviour::InstallFails);
    const Outcome failed = InstallPortDriver(g);
    EXPECT_EQ(test::FailureShown(failed), FailureText);
    EXPECT_EQ(failed.failure().title, QStringLiteral("Error"));
    EXPECT_FALSE(start().has_value());

    // An installer that leaves the service disabled (4) fails just the same.
    processes.setBehaviour(sim::SimProcessRunner::Behaviour::Installs);
    processes.setStartValueAfterInstall(4);
    EXPECT_EQ(test::FailureShown(InstallPortDriver(g)), FailureText);
    EXPECT_TRUE(startIs(4));
}

// Every path in double quotes; P is the folder, with its blanks.
TEST_F(PortDriverTest, BatchFileAndCommandLineQuoteEveryPath)
{
    EXPECT_TRUE(InstallPortDriver(g).ok());

    const QString sep = QDir::separator();
#ifdef Q_OS_WIN
    const QString eol = QStringLiteral("\r\n");
#else
    const QString eol = QStringLiteral("\n");
#endif
    const QString expected = u'"' + folder + sep + "instdrv2\" giveio remove" + eol + u'"' + folder + sep +
                             "instdrv2\" giveio \"" + folder + sep + "Giveio.sys\"" + eol;
    QFile file(batchPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), expected.toLocal8Bit());
    EXPECT_EQ(processes.commandLines(), QStringList{u'"' + folder + sep + "temp.bat\""});
    EXPECT_TRUE(folder.contains(u' '));
}

TEST_F(PortDriverTest, TrailingSeparatorOfTheFolderIsNotDoubled)
{
    g.ProgramFolder = folder + QDir::separator();
    EXPECT_TRUE(InstallPortDriver(g).ok());
    EXPECT_EQ(processes.commandLines(), QStringList{u'"' + batchPath + u'"'});
}

TEST_F(PortDriverTest, OlderBatchFileIsReplacedWhole)
{
    QFile old(batchPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(4096, '#')); // a character no path or batch line holds
    old.close();
    EXPECT_TRUE(InstallPortDriver(g).ok());
    QFile file(batchPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_FALSE(content.contains('#'));
    EXPECT_TRUE(content.startsWith('"'));
}

TEST_F(PortDriverTest, UnwritableFolderIsReportedAndNothingRuns)
{
    g.ProgramFolder = tempDir.filePath(QStringLiteral("no such folder"));
    setStart(dword(3));
    const Outcome failed = InstallPortDriver(g);
    EXPECT_TRUE(test::FailureShown(failed).startsWith(FailureText + u'\n'))
        << test::FailureShown(failed).toStdString();
    EXPECT_TRUE(failed.failure().reason.contains(QStringLiteral("temp.bat")));
    EXPECT_EQ(failed.failure().title, QStringLiteral("Error"));
    EXPECT_TRUE(processes.commandLines().isEmpty());
    EXPECT_TRUE(startIs(3)); // not promoted: the installer never ran
}

TEST_F(PortDriverTest, InstallerThatCannotStartIsReportedAndStartStays)
{
    processes.setBehaviour(sim::SimProcessRunner::Behaviour::CannotStart);
    setStart(dword(3));
    const Outcome failed = InstallPortDriver(g);
    EXPECT_TRUE(test::FailureShown(failed).startsWith(FailureText + u'\n'));
    EXPECT_EQ(failed.failure().title, QStringLiteral("Error"));
    EXPECT_EQ(processes.commandLines().size(), 1);
    EXPECT_TRUE(startIs(3));
}

TEST_F(PortDriverTest, RegistryTextOfEachValueType)
{
    const QString key = QStringLiteral("SOFTWARE\\Test");
    registry.setValue(key, QStringLiteral("s"), text(QStringLiteral("abc")));
    registry.setValue(key, QStringLiteral("z"), text(QStringLiteral("3") + QChar(u'\0')));
    registry.setValue(key, QStringLiteral("n"), dword(4000000000u));
    RegistryValue other;
    other.type = RegistryValue::Type::Other;
    other.text = QStringLiteral("binary");
    registry.setValue(key, QStringLiteral("o"), other);

    EXPECT_EQ(ReadRegistryText(g, key, QStringLiteral("s")), QStringLiteral("abc"));
    EXPECT_EQ(ReadRegistryText(g, key, QStringLiteral("z")), QStringLiteral("3"));
    EXPECT_EQ(ReadRegistryText(g, key, QStringLiteral("n")), QStringLiteral("4000000000"));
    EXPECT_EQ(ReadRegistryText(g, key, QStringLiteral("o")), QString());
    EXPECT_EQ(ReadRegistryText(g, key, QStringLiteral("missing")), QString());
}

// A platform that names a place for its helper files gets the batch file in a
// folder of its own there, made for the installation and gone after it, so that
// programs that are killed cannot pile such folders up.
TEST_F(PortDriverTest, TheBatchFileOfAPlatformsHelperPlaceLastsOnlyAsLongAsTheInstallation)
{
    // Sees whether the batch file is there when the installer runs.
    struct Watcher final : ProcessRunner {
        sim::SimProcessRunner& installer;
        bool batchFileThere = false;
        explicit Watcher(sim::SimProcessRunner& runner) : installer(runner) {}
        std::optional<int> runAndWait(const QString& commandLine) override
        {
            batchFileThere = QFile::exists(QString(commandLine).remove(u'"'));
            return installer.runAndWait(commandLine);
        }
    } watcher(processes);
    const QString scratch = tempDir.filePath(QStringLiteral("scratch"));
    ASSERT_TRUE(QDir().mkpath(scratch));
    Platform watched = backends.platform({.processes = &watcher});
    watched.scratchFolder = scratch;
    GyroState gw{watched, ui};
    gw.ProgramFolder = folder;

    EXPECT_TRUE(InstallPortDriver(gw).ok());
    ASSERT_EQ(processes.commandLines().size(), 1);
    const QString& commandLine = processes.commandLines()[0];
    const QString sep = QDir::separator();
    EXPECT_TRUE(commandLine.startsWith(u'"' + QDir::toNativeSeparators(scratch) + sep + "gyro-port-driver-"))
        << commandLine.toStdString();
    EXPECT_TRUE(commandLine.endsWith(sep + "temp.bat\""));
    EXPECT_TRUE(watcher.batchFileThere);
    EXPECT_TRUE(startIs(2));
    EXPECT_TRUE(QDir(scratch).isEmpty());
    EXPECT_FALSE(QFile::exists(batchPath));
}

} // namespace
} // namespace gyro
