// Process creation, and the port driver's installation run for real: the batch
// file in a program folder with a blank in its name, the command interpreter, a
// stand-in installer that writes the service's key, and the registry.
#include "GyroState.h"
#include "PortDriver.h"
#include "RecordingUiHost.h"
#include "TestPlatform.h"
#include "Win32ProcessRunner.h"
#include "Win32Registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <windows.h>

namespace gyro {
namespace {

TEST(Win32ProcessRunner, ReturnsTheExitCodeOrNothingWhenNoProcessStarts)
{
    Win32ProcessRunner runner;
    EXPECT_EQ(runner.runAndWait(QStringLiteral("cmd /c exit 7")), 7);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("cmd /c exit 0")), 0);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("\"C:\\no such folder\\no such program.exe\"")), std::nullopt);
}

struct Win32PortDriverInstall : ::testing::Test {
    Win32PortDriverInstall()
    {
        folder = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Gyro Eval")));
        QDir().mkpath(folder);
        g.ProgramFolder = folder;
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, ServiceKey);
    }
    ~Win32PortDriverInstall() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, ServiceKey); }

    bool putInstaller()
    {
        return QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/fake_instdrv2.exe"),
                           folder + QStringLiteral("\\instdrv2.exe"));
    }
    QString start()
    {
        const auto value = registry.queryValue(PortDriverServiceKey, PortDriverStartValue);
        return !value ? QStringLiteral("none")
                      : QStringLiteral("%1:%2").arg(static_cast<int>(value->type)).arg(value->number);
    }
    QString fileText(const QString& name) const
    {
        QFile file(folder + u'\\' + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll())
                                              : QStringLiteral("missing");
    }

    static constexpr const char* ServiceKey = "SYSTEM\\CurrentControlSet\\Services\\giveio";
    QTemporaryDir dir;
    QString folder;
    Win32Registry registry;
    Win32ProcessRunner processes;
    test::TestBackends backends;
    Platform base = backends.platform();
    Platform platform{base.description, base.usb, base.port,  registry,
                      processes,        base.os,  base.clock, base.busyLoop};
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
};

TEST_F(Win32PortDriverInstall, TheInstallerRegistersTheServiceAndItStartsWithTheSystem)
{
    ASSERT_TRUE(putInstaller());
    InstallPortDriver(g);

    EXPECT_TRUE(ui.messages.empty()) << ui.texts().join(u'\n').toStdString();
    EXPECT_EQ(start(), QStringLiteral("4:2")); // a 32-bit number, automatic start
    const QString installer = u'"' + folder + QStringLiteral("\\instdrv2\"");
    EXPECT_EQ(fileText(QStringLiteral("temp.bat")), installer + QStringLiteral(" giveio remove\r\n") +
                                                        installer + QStringLiteral(" giveio \"") + folder +
                                                        QStringLiteral("\\Giveio.sys\"\r\n"));
    EXPECT_EQ(fileText(QStringLiteral("calls.txt")),
              QStringLiteral("giveio|remove\ngiveio|") + folder + QStringLiteral("\\Giveio.sys\n"));

    // Installed for automatic start: a second call runs nothing.
    QFile::remove(folder + QStringLiteral("\\calls.txt"));
    InstallPortDriver(g);
    EXPECT_EQ(fileText(QStringLiteral("calls.txt")), QStringLiteral("missing"));
}

TEST_F(Win32PortDriverInstall, WithoutTheInstallerTheFailureIsTold)
{
    InstallPortDriver(g);
    EXPECT_EQ(start(), QStringLiteral("none"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The required I/O drivers could not be installed."));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Error"));
}

} // namespace
} // namespace gyro
