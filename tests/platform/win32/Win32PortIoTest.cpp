// Port I/O through the libraries loaded from the program's folder: a stand-in
// library records every call, so the port traffic of a frame is checked as it
// leaves the program; a folder without libraries is told by name.
#include "Win32PortIo.h"
#include "GyroState.h"
#include "ParallelSpi.h"
#include "RecordingUiHost.h"
#include "TestPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace gyro {
namespace {

struct Win32PortIoTest : ::testing::Test {
    Win32PortIoTest()
    {
        log = dir.filePath(QStringLiteral("calls.txt"));
        qputenv("GYRO_FAKE_PORT_LOG", QFile::encodeName(log));
    }
    ~Win32PortIoTest() override
    {
        qunsetenv("GYRO_FAKE_PORT_LOG");
        qunsetenv("GYRO_FAKE_PORT_STATUS");
    }

    bool putLibrary(const char* asName)
    {
        return QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/fake_port_library.dll"),
                           dir.filePath(QLatin1String(asName)));
    }
    QStringList calls() const
    {
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString log;
};

// The frame 0x8000 on the data register at 888: 4, 5, then 7, 3, 1, 5 for the one
// bit and 7, 7, 5, 5 for each zero bit, then 0.
TEST_F(Win32PortIoTest, AFrameLeavesThroughVbOutOfWin95io)
{
    ASSERT_TRUE(putLibrary(Win32PortIo::Win95IoName));
    ASSERT_TRUE(putLibrary(Win32PortIo::GiveioName));
    Win32PortIo port(dir.path());
    EXPECT_EQ(port.openPort(888), QString());
    EXPECT_EQ(port.giveio(), QString());

    test::TestBackends backends;
    Platform platform = backends.platform({.port = &port});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
    g.InterfaceType = 1;
    g.PortAddress = 888;
    g.DelayCalibrated = true;
    PortSpiWrite(g, 0x8000);

    QStringList expected{QStringLiteral("giveio")};
    auto out = [&expected](int value) { expected << QStringLiteral("vbOut 888 %1").arg(value); };
    out(4);
    out(5);
    for (int value : {7, 3, 1, 5})
        out(value);
    for (int bit = 14; bit >= 0; --bit)
        for (int value : {7, 7, 5, 5})
            out(value);
    out(0);
    EXPECT_EQ(calls(), expected);
}

TEST_F(Win32PortIoTest, ReadsGiveTheStatusByteFromTheLibrary)
{
    qputenv("GYRO_FAKE_PORT_STATUS", "0x140"); // only the low byte is a port's
    ASSERT_TRUE(putLibrary(Win32PortIo::Win95IoName));
    Win32PortIo port(dir.path());
    EXPECT_EQ(port.vbInp(889), 0x40);
    EXPECT_EQ(calls(), QStringList{QStringLiteral("vbInp 889")});
}

// Without win95io.dll the 64-bit library serves, which needs no giveio.
TEST_F(Win32PortIoTest, Inpoutx64ServesWhenWin95ioIsMissing)
{
    ASSERT_TRUE(putLibrary(Win32PortIo::InpOutName));
    Win32PortIo port(dir.path());
    EXPECT_EQ(port.giveio(), QString());
    port.vbOut(888, 5);
    port.vbInp(889);
    EXPECT_EQ(calls(), (QStringList{QStringLiteral("Out32 888 5"), QStringLiteral("Inp32 889")}));
}

TEST_F(Win32PortIoTest, MissingLibrariesAreToldByName)
{
    Win32PortIo port(dir.path());
    for (const QString& message : {port.openPort(888), port.giveio()}) {
        EXPECT_TRUE(message.contains(QStringLiteral("win95io.dll"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("inpoutx64.dll"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(dir.path()))) << message.toStdString();
    }
    port.vbOut(888, 1); // goes nowhere
    EXPECT_EQ(port.vbInp(889), 0xFF);
    EXPECT_TRUE(calls().isEmpty());
}

TEST_F(Win32PortIoTest, AMissingGiveioIsToldByName)
{
    ASSERT_TRUE(putLibrary(Win32PortIo::Win95IoName));
    Win32PortIo port(dir.path());
    EXPECT_TRUE(port.giveio().contains(QStringLiteral("giveio.dll")));
}

} // namespace
} // namespace gyro
