// Register reads and writes end to end over the simulated parallel port: what the
// device on the far side decodes, what comes back, and the trace file's lines.
#include "GyroState.h"
#include "MustRead.h"
#include "RegisterAccess.h"
#include "ScriptedRegisterDevice.h"
#include "SimParallelPort.h"
#include "SpiTraceFile.h"
#include "TestPlatform.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace gyro {
namespace {

class ParallelRegisterAccessTest : public ::testing::Test {
protected:
    ParallelRegisterAccessTest()
    {
        g.InterfaceType = 1;
        g.PortAddress = 0x378;
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10'000; // 10'000 turns of 1 ns: 10 us per unit
    }

    test::ScriptedRegisterDevice device;
    test::TestBackends backends;
    sim::FakeClock& clock = backends.clock;
    sim::SimParallelPort port{device};
    Platform platform = backends.platform({.port = &port});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
};

// Smpl_Prd is at 0x36: the high byte 0x00 goes to 0x37 (0x8000 + 0x37 * 256 =
// 0xB700), then the low byte 0x0A to 0x36 (0x8000 + 0x3600 + 0x0A = 0xB60A).
TEST_F(ParallelRegisterAccessTest, WriteRegisterSendsBothWriteFrames)
{
    WriteRegister(g, Idx_Smpl_Prd, 0x0A);

    const std::vector<std::uint16_t> expected{0xB700, 0xB60A};
    EXPECT_EQ(device.received, expected);
    EXPECT_EQ(port.discardedFrames(), 0);
    // 0.1 ms after each frame and after the write: 0.3 ms of simulated time.
    EXPECT_NEAR(clock.monotonicSeconds(), 0.3e-3, 1e-9);
}

// Gyro_Out (0x04, 14 bits signed, new-data and error flags) reading 0xE001:
// bit 15 new data, bit 14 error, count bits 0x2001 = -8192 + 1 = -8191.
TEST_F(ParallelRegisterAccessTest, ReadRegisterReturnsTheDevicesWord)
{
    device.words[0x04] = 0xE001;
    const RegisterReading r = test::MustRead(g, Idx_Gyro_Out);

    const std::vector<std::uint16_t> expected{0x0400, 0x0000};
    EXPECT_EQ(device.received, expected);
    ASSERT_EQ(port.frames().size(), 2u);
    EXPECT_EQ(port.frames()[1].answered, 0xE001);
    EXPECT_EQ(r.RegWord, -8191);
    EXPECT_EQ(r.RegNewData, 0x8000);
    EXPECT_EQ(r.RegErrorFlag, 0x4000);
    EXPECT_EQ(r.RegHighByte, 0xE0);
    EXPECT_EQ(r.RegLowByte, 0x01);
}

TEST_F(ParallelRegisterAccessTest, EveryBitPatternSurvivesTheRoundTrip)
{
    for (const std::uint16_t word : std::vector<std::uint16_t>{0x0000, 0xFFFF, 0x8001, 0x5AA5, 0x1234}) {
        device.words[0x28] = word; // Alm_Ctrl: 16 bits unsigned
        EXPECT_EQ(test::MustRead(g, Idx_Alm_Ctrl).RegWord, word) << std::hex << word;
    }
}

TEST_F(ParallelRegisterAccessTest, TraceFileShowsEachFrameWithItsAnswer)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("spi.trace"));
    std::unique_ptr<SpiTraceFile> trace = SpiTraceFile::open(path, clock, nullptr);
    ASSERT_NE(trace, nullptr);
    g.spiTrace = trace.get();

    device.words[0x04] = 0x9FFF;
    WriteRegister(g, Idx_Smpl_Prd, 0x0A);
    ReadRegister(g, Idx_Gyro_Out);
    g.spiTrace = nullptr;
    trace.reset();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5); // four lines and the empty rest after the last line end
    QStringList tails;
    for (int i = 0; i < 4; ++i)
        tails << QString::fromLatin1(lines[i].mid(lines[i].indexOf(' ') + 1));
    EXPECT_EQ(tails, QStringList({"par B700 ----", "par B60A ----", "par 0400 ----", "par 0000 9FFF"}));
}

} // namespace
} // namespace gyro
