// Running command lines through the shell, and the driver installation's batch
// file run for real: quoting a folder with blanks must survive the shell.
#include "PosixProcessRunner.h"
#include "GyroState.h"
#include "PortDriver.h"
#include "TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gyro {
namespace {

void writeScript(const QString& path, const QByteArray& body)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

TEST(PosixProcessRunner, ReturnsTheExitCode)
{
    PosixProcessRunner runner;
    EXPECT_EQ(runner.runAndWait(QStringLiteral("true")), 0);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("exit 3")), 3);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("kill -9 $$")), 128 + 9);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("\"/no such dir/no such program\"")), 127);
}

TEST(PosixProcessRunner, QuotedPathWithBlanksRuns)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("with blank"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString script = folder + QStringLiteral("/tool");
    writeScript(script, "exit 7\n");
    PosixProcessRunner runner;
    EXPECT_EQ(runner.runAndWait(u'"' + script + u'"'), 7);
}

// The batch file calls the installer twice; a stand-in installer records its
// arguments, one line per call.
TEST(PosixProcessRunner, DriverBatchFileRunsTheInstallerWithQuotedPaths)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Gyro Eval"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeScript(folder + QStringLiteral("/instdrv2"), "echo \"$1|$2\" >> \"$(dirname \"$0\")/calls.txt\"\n");

    test::TestBackends backends;
    PosixProcessRunner processes;
    Platform platform = backends.platform({.processes = &processes});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
    g.ProgramFolder = folder;

    const Outcome installed = InstallPortDriver(g);

    QFile calls(folder + QStringLiteral("/calls.txt"));
    ASSERT_TRUE(calls.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(calls.readAll()),
              QStringLiteral("giveio|remove\ngiveio|") + folder + QStringLiteral("/Giveio.sys\n"));
    // The stand-in does not register the service, so the installation is reported.
    ASSERT_FALSE(installed.ok());
    EXPECT_EQ(installed.failure().title, QStringLiteral("Error"));
}

} // namespace
} // namespace gyro
