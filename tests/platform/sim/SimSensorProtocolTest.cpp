// The simulated sensor's SPI side: the frame protocol, the register file's write rules,
// the trace, forced words, the disconnected link and determinism.
#include "RegisterMap.h"
#include "SensorProbe.h"

#include <gtest/gtest.h>

#include <map>

using namespace gyro::sim;
using gyro::sim::test::SensorProbe;
namespace A = gyro::sim::SensorAddress;

TEST(SimSensorProtocol, AnswersEachFrameWithTheRegisterNamedByTheFrameBefore)
{
    SensorProbe p;
    SimSensor& s = p.sensor;
    EXPECT_EQ(s.transfer(0x3600), 0x0000); // nothing named yet
    EXPECT_EQ(s.transfer(0x3800), 0x0001); // Smpl_Prd, factory 256 samples/s
    EXPECT_EQ(s.transfer(0x1600), 0x0402); // Sens_Avg, factory 320 deg/s, N = 2
    EXPECT_EQ(s.transfer(0x3F00), 0x0800); // GYRO_SCALE, factory gain 1
    EXPECT_EQ(s.transfer(0x3700), 0x0000); // Command is write-only: reads 0
    EXPECT_EQ(s.transfer(0x0000), 0x0001); // 0x37 names the word at 0x36, Smpl_Prd
    EXPECT_EQ(s.transfer(0x1000), 0x0001); // Endurance: one flash write at the factory
    EXPECT_EQ(s.transfer(0x0000), 0x0000); // 0x10 is not a register
}

TEST(SimSensorProtocol, WriteFramesChangeOneByteOfTheirWord)
{
    SensorProbe p;
    SimSensor& s = p.sensor;
    s.transfer(0xB700); // Smpl_Prd high byte: a one-byte register ignores it
    s.transfer(0xB60A);
    EXPECT_EQ(s.transfer(0x0000), 0x000A) << "a write frame names its register for the next answer";
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x000A);

    s.transfer(0xA112); // Alm_Mag1 high byte 0x12
    s.transfer(0xA034); // low byte 0x34
    EXPECT_EQ(p.read(A::Alm_Mag1), 0x1234);
    s.transfer(0xA0FF);
    EXPECT_EQ(p.read(A::Alm_Mag1), 0x12FF) << "a low-byte write keeps the high byte";
    s.transfer(0xA1AB);
    EXPECT_EQ(p.read(A::Alm_Mag1), 0xABFF) << "a high-byte write keeps the low byte";

    s.transfer(0xB7FF);
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x000A);

    // GYRO_OFST = -1 as the program sends it: 0x95FF then 0x94FF; the 12-bit register keeps 0x0FFF.
    s.transfer(0x95FF);
    s.transfer(0x94FF);
    EXPECT_EQ(p.read(A::GYRO_OFST), 0x0FFF);
}

TEST(SimSensorProtocol, ReadOnlyAndUnmappedAddressesIgnoreWritesAndRaiseTheSpiWriteFlag)
{
    SensorProbe p;
    p.turnSteadily(10.989); // 150 counts at 320 deg/s (10.989 / 0.07326)
    p.samples(20);          // past the 9 filter taps
    const std::uint16_t before = p.read(A::Gyro_Out) & 0x3FFF;
    EXPECT_EQ(before, 150);
    EXPECT_EQ(p.read(A::Status), 0x0000);

    p.write(A::Gyro_Out, 0x1234);
    EXPECT_EQ(p.read(A::Gyro_Out), before | 0x4000) << "value kept; error flag while Status holds bit 3";
    p.write(A::Status, 0xFFFF);
    p.write(0x10, 0x5555);
    EXPECT_EQ(p.read(0x10), 0x0000);
    EXPECT_EQ(p.read(A::Status), 0x0008) << "SPI write flag (bit 3) only";
    EXPECT_EQ(p.read(A::Status), 0x0000) << "the flag goes once Status has been read";
    EXPECT_EQ(p.read(A::Gyro_Out), before);
}

TEST(SimSensorProtocol, TraceRecordsEveryFrameInOrderWithItsTime)
{
    SensorProbe p;
    p.clock.setMonotonic(1.5);
    p.read(A::Smpl_Prd);
    p.clock.advance(0.25);
    p.sensor.setConnected(false);
    p.sensor.transfer(0x3800);

    const auto& t = p.sensor.trace();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_DOUBLE_EQ(t[0].time, 1.5);
    EXPECT_EQ(t[0].out, 0x3600);
    EXPECT_EQ(t[0].in, 0x0000);
    EXPECT_EQ(t[1].out, 0x3600);
    EXPECT_EQ(t[1].in, 0x0001);
    EXPECT_DOUBLE_EQ(t[2].time, 1.75);
    EXPECT_EQ(t[2].out, 0x3800);
    EXPECT_EQ(t[2].in, 0xFFFF);

    p.sensor.clearTrace();
    EXPECT_TRUE(p.sensor.trace().empty());
}

TEST(SimSensorProtocol, DisconnectedSensorReadsAllOnesAndHearsNothing)
{
    SensorProbe p;
    p.sensor.setConnected(false);
    EXPECT_EQ(p.read(A::Smpl_Prd), 0xFFFF);
    p.write(A::Smpl_Prd, 0x20);
    p.sensor.setConnected(true);
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x0001);
}

TEST(SimSensorProtocol, ForcedWordsAreAnsweredAsGivenUntilReleased)
{
    SensorProbe p;
    p.sensor.setRegisterWord(A::Gyro_Out, 0xE001);
    EXPECT_EQ(p.read(A::Gyro_Out), 0xE001);
    p.samples(3);
    EXPECT_EQ(p.read(A::Gyro_Out), 0xE001) << "neither reads nor samples touch a forced output";
    p.sensor.releaseRegister(A::Gyro_Out);
    p.samples(1);
    EXPECT_NE(p.read(A::Gyro_Out), 0xE001);

    p.sensor.setRegisterWord(A::Sens_Avg, 0x0300); // a range code the program rejects
    EXPECT_EQ(p.read(A::Sens_Avg), 0x0300);
    p.write(A::Sens_Avg, 0x0201);
    EXPECT_EQ(p.read(A::Sens_Avg), 0x0201) << "a forced configuration word is ordinary content";
}

TEST(SimSensorProtocol, SameSeedAndClockGiveTheSameFrames)
{
    auto run = [](std::uint32_t seed) {
        SensorProbe p(seed);
        p.write(A::Smpl_Prd, 0x0000);
        for (int i = 0; i < 300; ++i) {
            p.clock.advance(0.0013);
            p.read(A::Gyro_Out);
            p.read(A::Temp_Out);
            p.read(A::Supply_Out);
            p.read(A::ANGL_OUT);
        }
        std::vector<std::uint16_t> answers;
        for (const auto& f : p.sensor.trace())
            answers.push_back(f.in);
        return answers;
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

// The sensor's register file against the program's own register map: every register the
// program knows exists, is writable exactly when the map says so, and takes no bits beyond
// its width (0x44 holds four entries; its widest applies).
TEST(SimSensorProtocol, RegisterFileAgreesWithTheProgramsRegisterMap)
{
    gyro::RegisterMap map;
    const int last = gyro::FillRegisterMap(map);
    std::map<int, int> widest;
    for (int i = 0; i <= last; ++i)
        widest[map[i].RegAddress] = std::max(widest[map[i].RegAddress], int{map[i].RegBitWidth});

    for (int i = 0; i <= last; ++i) {
        const auto& e = map[i];
        const RegisterLayout& layout = layoutOf(e.RegAddress);
        SCOPED_TRACE(e.RegName.toStdString());
        EXPECT_EQ(layout.address, e.RegAddress);
        EXPECT_NE(layout.kind, RegisterKind::Unmapped);
        EXPECT_EQ(layout.writeMask != 0, e.RegWritable);
        EXPECT_EQ(layout.kind == RegisterKind::Command, !e.RegReadable);
        EXPECT_EQ(layout.kind == RegisterKind::Output, e.RegHasNewData);
        const unsigned widthMask = (1u << widest[e.RegAddress]) - 1u;
        EXPECT_EQ(layout.writeMask & ~widthMask, 0u);
        EXPECT_EQ(layout.flashMask & ~unsigned{layout.writeMask}, 0u) << "flash keeps only writable bits";
    }
}
