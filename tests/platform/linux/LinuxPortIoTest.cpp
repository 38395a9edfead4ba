// The Linux port backends where no hardware is needed: the messages that name the
// fix, and that an unreachable port behaves like an absent one.
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "LinuxOsVersion.h"
#include "OsFamily.h"
#include "PortAccessMessages.h"
#include "PortDriver.h"
#include "PpdevPortIo.h"
#include "RawPortIo.h"
#include "TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace gyro {
namespace {

TEST(LinuxPortMessages, PermissionProblemNamesTheLpGroupFix)
{
    const QString text = linuxport::DeviceOpenFailedMessage(QStringLiteral("/dev/parport0"), EACCES);
    EXPECT_TRUE(text.contains(QStringLiteral("/dev/parport0")));
    EXPECT_TRUE(text.contains(QStringLiteral("add yourself to the lp group"), Qt::CaseInsensitive));
    EXPECT_TRUE(text.contains(QStringLiteral("sudo usermod -aG lp $USER")));
    EXPECT_TRUE(text.contains(QStringLiteral("log in again")));

    EXPECT_TRUE(linuxport::DeviceOpenFailedMessage(QStringLiteral("/dev/parport0"), ENOENT)
                    .contains(QStringLiteral("modprobe ppdev")));
    EXPECT_TRUE(linuxport::RawAccessRefusedMessage(EPERM).contains(QStringLiteral("root")));
}

class PpdevTest : public ::testing::Test {
protected:
    PpdevTest()
    {
        QDir(dir.path()).mkpath(QStringLiteral("proc"));
        QDir(dir.path()).mkpath(QStringLiteral("dev"));
    }
    void addPort(const QString& name, const QByteArray& baseAddr)
    {
        QDir(dir.filePath(QStringLiteral("proc"))).mkpath(name);
        QFile file(dir.filePath(QStringLiteral("proc/") + name + QStringLiteral("/base-addr")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(baseAddr);
    }
    QString proc() const { return dir.filePath(QStringLiteral("proc")); }
    QString dev() const { return dir.filePath(QStringLiteral("dev")); }
    QTemporaryDir dir;
};

TEST_F(PpdevTest, NoPortAtAllIsReported)
{
    PpdevPortIo port(proc(), dev());
    EXPECT_EQ(port.giveio(), linuxport::NoParportMessage());
}

TEST_F(PpdevTest, MissingDeviceNamesTheModuleAndThePortReadsAsAbsent)
{
    addPort(QStringLiteral("parport0"), "888\t1912\n");
    PpdevPortIo port(proc(), dev());
    const QString message = port.giveio();
    EXPECT_TRUE(message.contains(dev() + QStringLiteral("/parport0"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("modprobe ppdev")));

    port.vbOut(0x379, 0x40);
    port.vbOut(0x378, 0x05);
    EXPECT_EQ(port.vbInp(0x379), 0xFF);
    EXPECT_FALSE(port.lastError().isEmpty());
    EXPECT_EQ(port.vbInp(0x37A), 0xFF); // not a register this backend serves
}

// A file that is not a parallel port device opens but cannot be claimed.
TEST_F(PpdevTest, DeviceThatCannotBeClaimedReadsAsAbsent)
{
    addPort(QStringLiteral("parport0"), "888\t1912\n");
    QFile fake(dev() + QStringLiteral("/parport0"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.close();
    PpdevPortIo port(proc(), dev());
    EXPECT_EQ(port.giveio(), QString()); // the device opens
    EXPECT_EQ(port.vbInp(0x379), 0xFF);
    EXPECT_FALSE(port.lastError().isEmpty());
}

// The bring-up's check names the device and the fix, before any frame goes out.
TEST_F(PpdevTest, OpeningAPortSaysWhatIsWrongWithIt)
{
    addPort(QStringLiteral("parport0"), "888\t1912\n");
    PpdevPortIo port(proc(), dev());
    const QString device = dev() + QStringLiteral("/parport0");

    const QString noPort = port.openPort(0x278);
    EXPECT_TRUE(noPort.contains(QStringLiteral("No parallel port at address 278"))) << noPort.toStdString();
    EXPECT_TRUE(noPort.contains(device + QStringLiteral(" at 378"))) << noPort.toStdString();

    const QString missing = port.openPort(0x378);
    EXPECT_TRUE(missing.contains(device)) << missing.toStdString();
    EXPECT_TRUE(missing.contains(QStringLiteral("modprobe ppdev")));

    // A file that is no port device opens, but the claim fails: asked again, it is tried again.
    QFile fake(device);
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.close();
    const QString unclaimed = port.openPort(0x378);
    EXPECT_TRUE(unclaimed.contains(device + QStringLiteral(" opened but could not be claimed")))
        << unclaimed.toStdString();
    EXPECT_TRUE(unclaimed.contains(QStringLiteral("modprobe -r lp")));
}

TEST(RawPortIo, NoPortAccessBeforePermission)
{
    RawPortIo port;
    port.vbOut(0x378, 0x05); // must not fault
    EXPECT_EQ(port.vbInp(0x379), 0xFF);
}

// Linux says what it is and needs no port driver: bringing the port up opens the
// ports to the program once (giveio), with no batch file, installer or message.
TEST(LinuxPortDriver, TheBringUpInstallsNothing)
{
    LinuxOsVersion os;
    EXPECT_EQ(os.query().platformId, OsPlatformLinux);
    EXPECT_EQ(OsFamilyName(os.query()), "Linux");
    EXPECT_FALSE(os.portDriverNeeded());

    // A port whose access is granted; the count tells how often it was asked.
    class GrantingPort final : public PortIo {
    public:
        void vbOut(std::int32_t, std::int32_t) override {}
        std::int32_t vbInp(std::int32_t) override { return 0xFF; }
        QString giveio() override
        {
            ++grants;
            return {};
        }
        int grants = 0;
    } port;
    QTemporaryDir dir;
    test::TestBackends backends; // its process runner would fail any run
    backends.os.set({OsPlatformLinux, 6, 1, 0});
    Platform platform = backends.platform({.port = &port});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
    g.ProgramFolder = dir.path();
    g.OsName = OsFamilyName(platform.os.query());
    g.InterfaceType = 1;
    g.PortAddress = 0x378;
    EXPECT_TRUE(OpenParallelPort(g).ready);
    EXPECT_TRUE(OpenParallelPort(g).ready); // the second opening asks for the ports no more
    EXPECT_EQ(port.grants, 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
} // namespace gyro
