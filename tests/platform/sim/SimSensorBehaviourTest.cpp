// What an engineer relies on from the simulated sensor: outputs, pacing and flags,
// the commands, flash and power cycle, self-test, power-down and the alarms.
#include "SensorProbe.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gyro::sim;
using gyro::sim::test::countOf;
using gyro::sim::test::SensorProbe;
namespace A = gyro::sim::SensorAddress;

namespace {

constexpr double DegPerCount320 = 0.07326;

// Mean Gyro_Out in deg/s over `n` fresh samples at the factory range.
double meanRate(SensorProbe& p, int n)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        p.samples(1);
        sum += countOf(p.read(A::Gyro_Out), 14) * DegPerCount320;
    }
    return sum / n;
}

} // namespace

TEST(SimSensorTiming, SamplePeriodFollowsSmplPrd)
{
    EXPECT_DOUBLE_EQ(samplePeriodSeconds(0x00), 1.0 / 2048); // the fastest mode
    EXPECT_DOUBLE_EQ(samplePeriodSeconds(0x01), 0.003906);   // 1.953 ms x 2
    EXPECT_DOUBLE_EQ(samplePeriodSeconds(0x0A), 0.021483);   // 1.953 ms x 11
    EXPECT_DOUBLE_EQ(samplePeriodSeconds(0x81), 0.12108);    // 60.54 ms x 2
    EXPECT_DOUBLE_EQ(samplePeriodSeconds(0xFF), 7.74912);    // 60.54 ms x 128
}

TEST(SimSensorTiming, NewDataIsSetByAFreshSampleAndClearedByARead)
{
    SensorProbe p;
    p.write(A::Smpl_Prd, 0x0A); // one sample every 21.483 ms, counted from the power-up sample at 0
    EXPECT_NE(p.read(A::Gyro_Out) & 0x8000, 0) << "the power-up sample is fresh";
    EXPECT_EQ(p.read(A::Gyro_Out) & 0x8000, 0) << "reading clears it";

    p.clock.advance(0.0214);
    EXPECT_EQ(p.read(A::Gyro_Out) & 0x8000, 0) << "no sample yet";
    p.clock.advance(0.0001);
    EXPECT_NE(p.read(A::Gyro_Out) & 0x8000, 0);
    EXPECT_EQ(p.read(A::Gyro_Out) & 0x8000, 0);
    EXPECT_NE(p.read(A::Temp_Out) & 0x8000, 0) << "each output keeps its own flag";
    EXPECT_EQ(p.sensor.sampleCount(), 2u);

    p.write(A::Smpl_Prd, 0x00); // 2048 samples/s from the last sample (at 21.483 ms)
    p.clock.setMonotonic(0.021483 + 0.00048);
    EXPECT_EQ(p.read(A::ANGL_OUT) & 0x8000, 0x8000) << "ANGL_OUT still holds the earlier sample's flag";
    EXPECT_EQ(p.read(A::ANGL_OUT) & 0x8000, 0);
    p.clock.setMonotonic(0.021483 + 0.00049);
    EXPECT_NE(p.read(A::ANGL_OUT) & 0x8000, 0);
}

TEST(SimSensorOutputs, RangeBitsScaleTheRate)
{
    SensorProbe p;
    p.turnSteadily(10.989);
    p.samples(20);
    // 10.989 deg/s is 150 steps of 0.07326, 300 of 0.03663, 600 of 0.018315.
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 150);
    p.write(A::Sens_Avg, 0x0202);
    p.samples(1);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 300);
    p.write(A::Sens_Avg, 0x0102);
    p.samples(1);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 600);
}

TEST(SimSensorOutputs, SameMotionReadsTwiceTheCountsAtTheHalvedRange)
{
    SensorProbe wide(5);
    SensorProbe narrow(5);
    narrow.write(A::Sens_Avg, 0x0202); // 160 deg/s
    wide.write(A::Sens_Avg, 0x0402);   // 320 deg/s: the same frames, so the same clock readings
    int moving = 0;
    for (int i = 0; i < 400; ++i) {
        wide.samples(1);
        narrow.samples(1);
        const int c320 = countOf(wide.read(A::Gyro_Out), 14);
        const int c160 = countOf(narrow.read(A::Gyro_Out), 14);
        EXPECT_LE(std::abs(c160 - 2 * c320), 1) << "sample " << i; // one rounding step apart at most
        moving += std::abs(c320) > 20;
    }
    EXPECT_GT(moving, 100) << "the demo motion moves";
}

TEST(SimSensorOutputs, RatesBeyondTheRangeClampAndFlag)
{
    SensorProbe p;
    p.turnSteadily(700.0);
    p.samples(20);
    EXPECT_EQ(p.read(A::Gyro_Out) & 0x7FFF, 0x4000 | 0x1FFF) << "+8191 with the error flag";
    EXPECT_EQ(p.read(A::Status), 0x0010) << "over range";
    p.turnSteadily(-700.0);
    p.samples(20);
    EXPECT_EQ(p.read(A::Gyro_Out) & 0x3FFF, 0x2000) << "-8192";

    p.turnSteadily(100.0);
    p.samples(20);
    EXPECT_EQ(p.read(A::Status), 0x0000);
    p.write(A::Sens_Avg, 0x0102); // 80 deg/s: 100 deg/s is beyond it, 5460 counts still fit
    p.samples(1);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 5460); // 100 / 0.018315 = 5460.0
    EXPECT_EQ(p.read(A::Status), 0x0010);
}

TEST(SimSensorOutputs, SupplyTemperatureAndAngleReadInTheirUnits)
{
    SensorProbe p;
    p.turnSteadily(10.0);
    p.samples(1);
    // 5.0 V / 0.00183 = 2732.2; the temperature stays within a few degrees of 25 C.
    EXPECT_EQ(p.read(A::Supply_Out) & 0x0FFF, 2732);
    const double celsius = countOf(p.read(A::Temp_Out), 12) * 0.1454139 + 25.0;
    EXPECT_NEAR(celsius, 25.0, 3.0);

    p.write(A::ANGL_OUT, 0);
    p.samples(256);
    // 10 deg/s over 256 periods of 3.906 ms = 9.99936 deg = 272.98 counts of 0.03663.
    EXPECT_EQ(p.read(A::ANGL_OUT) & 0x3FFF, 273);
    p.turnSteadily(100.0);
    p.samples(1792);
    // Plus 100 deg/s over 6.999552 s: 709.95456 deg; less one wrap of 16384 x 0.03663 =
    // 600.14592 deg leaves 109.80864 deg = 2997.78 counts.
    EXPECT_EQ(p.read(A::ANGL_OUT) & 0x3FFF, 2998);
}

TEST(SimSensorOutputs, LongSilenceIsCaughtUpWithTheAngleIntact)
{
    SensorProbe p;
    p.turnSteadily(0.25);
    p.write(A::Smpl_Prd, 0x00); // 2048 samples/s
    p.write(A::ANGL_OUT, 0);
    const auto before = p.sensor.sampleCount();
    p.clock.advance(3600.0);
    // 0.25 deg/s for an hour = 900 deg; less one wrap of 600.146 deg = 299.854 deg = 8186.0 counts.
    EXPECT_NEAR(p.read(A::ANGL_OUT) & 0x3FFF, 8186, 2);
    EXPECT_NEAR(static_cast<double>(p.sensor.sampleCount() - before), 3600.0 * 2048, 1.0);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 3); // 0.25 / 0.07326 = 3.4
}

TEST(SimSensorOutputs, SupplyLowRaisesStatusAndTheErrorFlags)
{
    SensorProbe p;
    p.turnSteadily(0.0);
    p.sensor.setSupplyVolts(4.5);
    p.samples(1);
    EXPECT_EQ(p.read(A::Supply_Out), 0x8000 | 0x4000 | 2459); // 4.5 / 0.00183 = 2459.0
    for (int address : {A::Gyro_Out, A::Aux_ADC, A::Temp_Out, A::ANGL_OUT})
        EXPECT_EQ(p.read(address) & 0x4000, 0x4000) << address;
    EXPECT_EQ(p.read(A::Status), 0x0001);

    p.sensor.setSupplyVolts(5.5);
    p.samples(1);
    EXPECT_EQ(p.read(A::Status), 0x0002);
    p.sensor.setSupplyVolts(5.0);
    p.samples(1);
    EXPECT_EQ(p.read(A::Status), 0x0000);
    EXPECT_EQ(p.read(A::Gyro_Out) & 0x4000, 0);
}

TEST(SimSensorCommands, AutomaticNullCancelsTheBias)
{
    SensorProbe p(3);
    SensorModel m = p.sensor.model();
    m.motion = nullptr; // at rest, with the seed's bias and noise
    p.sensor.setModel(m);
    p.samples(20);

    const double before = meanRate(p, 2000);
    ASSERT_GT(std::abs(before), 0.4) << "every seed has a bias of at least 0.5 deg/s";
    p.command(1);
    p.clock.advance(0.25);
    EXPECT_NEAR(meanRate(p, 2000), 0.0, 0.03);
    const int offset = countOf(p.read(A::GYRO_OFST), 12);
    EXPECT_NEAR(offset * 0.018315, -before, 0.05);
}

TEST(SimSensorCommands, FactoryRestoreBringsBackTheFactoryConfiguration)
{
    SensorProbe p;
    p.write(A::GYRO_OFST, 0x0123);
    p.write(A::GYRO_SCALE, 0x0900);
    p.write(A::Smpl_Prd, 0x0A);
    p.write(A::Sens_Avg, 0x0185);
    p.write(A::Alm_Ctrl, 0x1234);
    p.write(A::Msc_Ctrl, 0x0104);
    p.command(2);
    EXPECT_EQ(p.read(A::GYRO_OFST), 0x0000);
    EXPECT_EQ(p.read(A::GYRO_SCALE), 0x0800);
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x0001);
    EXPECT_EQ(p.read(A::Sens_Avg), 0x0402);
    EXPECT_EQ(p.read(A::Alm_Ctrl), 0x0000);
    EXPECT_EQ(p.read(A::Msc_Ctrl), 0x0000);
    EXPECT_DOUBLE_EQ(p.sensor.samplePeriod(), 0.003906);
}

TEST(SimSensorCommands, FlashedSettingsSurviveAPowerCycleAndOthersDoNot)
{
    SensorProbe p;
    p.write(A::Smpl_Prd, 0x0A);
    p.write(A::GYRO_OFST, 0x0FF0);
    p.write(A::Msc_Ctrl, 0x0105); // self-test on, data-ready bits 0 and 2
    p.command(8);
    EXPECT_EQ(p.read(A::Endurance), 2) << "one more flash write";
    p.write(A::Sens_Avg, 0x0201); // not flashed
    p.write(A::Pwr_Mde, 0);
    p.turnSteadily(50.0);
    p.clock.advance(1.0);

    p.sensor.powerCycle();
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x000A);
    EXPECT_EQ(p.read(A::GYRO_OFST), 0x0FF0);
    EXPECT_EQ(p.read(A::Msc_Ctrl), 0x0005) << "self-test is never kept";
    EXPECT_EQ(p.read(A::Sens_Avg), 0x0402);
    EXPECT_EQ(p.read(A::ANGL_OUT) & 0x3FFF, 0) << "the angle starts afresh";
    EXPECT_EQ(p.read(A::Endurance), 2);
}

TEST(SimSensorCommands, FlashUpdateIsRefusedWhileTheSupplyIsLow)
{
    SensorProbe p;
    p.sensor.setSupplyVolts(4.5);
    p.write(A::Smpl_Prd, 0x20);
    p.command(8);
    p.samples(1);
    EXPECT_EQ(p.read(A::Status), 0x0004 | 0x0001) << "control write flag and supply low";
    EXPECT_EQ(p.read(A::Endurance), 1);
    p.sensor.setSupplyVolts(5.0);
    p.sensor.powerCycle();
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x0001);
}

TEST(SimSensorCommands, AuxAdcFollowsTheDacOnlyAfterTheLatch)
{
    SensorProbe p;
    SensorModel m = p.sensor.model();
    m.silenceNoise();
    p.sensor.setModel(m);

    p.write(A::Aux_DAC, 2047); // 2047 / 4095 x 2.5 V = 1.2497 V
    p.samples(1);
    EXPECT_EQ(p.read(A::Aux_DAC), 2047);
    EXPECT_EQ(p.read(A::Aux_ADC) & 0x0FFF, 0) << "not latched yet";
    p.command(4);
    p.samples(1);
    EXPECT_EQ(p.read(A::Aux_ADC) & 0x0FFF, 2047); // 1.2497 V at 2.5 V / 4095 per count

    SensorModel noisy = p.sensor.model();
    noisy.auxAdcNoiseCounts = 0.5;
    p.sensor.setModel(noisy);
    for (int i = 0; i < 50; ++i) {
        p.samples(1);
        EXPECT_NEAR(p.read(A::Aux_ADC) & 0x0FFF, 2047, 2);
    }
}

TEST(SimSensorSelfTest, SelfTestShiftsTheRate)
{
    SensorProbe p;
    p.turnSteadily(0.0);
    SensorModel m = p.sensor.model();
    m.selfTestDegPerSec = 7.326; // 100 counts at 320 deg/s
    p.sensor.setModel(m);
    p.samples(20);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 0);

    p.sensor.transfer(0xB501); // Msc_Ctrl bit 8 on, as the program sends it
    p.sensor.transfer(0xB400);
    p.samples(20);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 100);
    EXPECT_EQ(p.read(A::Status), 0x0000);

    p.sensor.setSelfTestFault(true);
    p.samples(20);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 0) << "a failing self-test does not move";
    EXPECT_EQ(p.read(A::Status), 0x0020);

    p.sensor.setSelfTestFault(false);
    p.write(A::Msc_Ctrl, 0x0000);
    p.samples(20);
    EXPECT_EQ(countOf(p.read(A::Gyro_Out), 14), 0);
}

TEST(SimSensorSelfTest, DefaultShiftIsPlainlyVisibleAtEveryRange)
{
    SensorProbe p;
    p.turnSteadily(0.0);
    p.write(A::Sens_Avg, 0x0102); // 80 deg/s, the narrowest
    p.write(A::Msc_Ctrl, 0x0100);
    p.samples(20);
    const double shift = countOf(p.read(A::Gyro_Out), 14) * 0.018315;
    EXPECT_GT(shift, 10.0);
    EXPECT_LT(shift, 80.0);
}

TEST(SimSensorPowerDown, SilentForTheWrittenTimeThenAwake)
{
    SensorProbe p;
    p.turnSteadily(10.0);
    p.samples(3);
    const std::uint16_t angle = p.read(A::ANGL_OUT) & 0x3FFF;
    const auto samples = p.sensor.sampleCount();

    p.sensor.transfer(0xBB00);
    p.sensor.transfer(0xBA04); // 4 half seconds: asleep until 2 s from now
    const double start = p.clock.monotonicSeconds();
    EXPECT_TRUE(p.sensor.poweredDown());

    p.clock.setMonotonic(start + 1.0);
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x0000);
    p.write(A::Smpl_Prd, 0x20); // ignored
    p.clock.setMonotonic(start + 1.999);
    EXPECT_EQ(p.sensor.transfer(0x3600), 0x0000);

    p.clock.setMonotonic(start + 2.0);
    EXPECT_EQ(p.sensor.transfer(0x3A00), 0x0000) << "the word prepared before sleep is gone";
    EXPECT_EQ(p.sensor.transfer(0x0E00), 0x0000) << "Pwr_Mde reads 0 after waking";
    EXPECT_EQ(p.sensor.transfer(0x3600) & 0x3FFF, angle) << "no samples while asleep";
    EXPECT_EQ(p.sensor.transfer(0x3600), 0x0001) << "the write during sleep was ignored";
    EXPECT_FALSE(p.sensor.poweredDown());
    EXPECT_EQ(p.sensor.sampleCount(), samples);

    p.samples(1);
    p.sensor.update();
    EXPECT_EQ(p.sensor.sampleCount(), samples + 1);
}

TEST(SimSensorPowerDown, ZeroDoesNotSleep)
{
    SensorProbe p;
    p.write(A::Pwr_Mde, 0);
    EXPECT_FALSE(p.sensor.poweredDown());
    EXPECT_EQ(p.read(A::Smpl_Prd), 0x0001);
}

TEST(SimSensorAlarms, MagnitudeAlarmsCompareTheirSourceWithTheLevel)
{
    SensorProbe p;
    p.turnSteadily(10.989);       // 150 counts
    p.write(A::Alm_Mag1, 0x8064); // above 100 counts
    p.write(A::Alm_Smpl1, 1);
    p.write(A::Alm_Mag2, 0x0A3F); // below 2623 counts = 4.8 V
    p.write(A::Alm_Ctrl, 0x1200); // alarm 1 on the rate (2), alarm 2 on the supply (1)
    p.samples(20);
    EXPECT_EQ(p.read(A::Status), 0x0100);
    EXPECT_EQ(p.read(A::Gyro_Out) & 0x4000, 0x4000);

    p.sensor.setSupplyVolts(4.7);
    p.turnSteadily(3.663); // 50 counts
    p.samples(20);
    EXPECT_EQ(p.read(A::Status), 0x0200 | 0x0001) << "alarm 2 and supply low";

    p.sensor.setSupplyVolts(4.9);
    p.samples(1);
    EXPECT_EQ(p.read(A::Status), 0x0000);

    p.write(A::Alm_Ctrl, 0x6500); // sources 5 (Aux_ADC) and 6 (temperature)
    p.write(A::Alm_Mag1, 0x8000); // Aux_ADC above 0: the DAC is at 0, so quiet
    p.write(A::Alm_Mag2, 0x3F00); // temperature below -256 counts (about -12 C): quiet
    p.samples(1);
    EXPECT_EQ(p.read(A::Status), 0x0000);
    p.write(A::Alm_Mag2, 0x8000 | 0x3F00); // above -256 counts: alarm
    p.samples(1);
    EXPECT_EQ(p.read(A::Status), 0x0200);
}

TEST(SimSensorAlarms, RateOfChangeAlarmWatchesTheChangeOverItsSamples)
{
    SensorProbe p;
    p.write(A::Sens_Avg, 0x0400); // 3 taps, so a step shows within three samples
    p.turnSteadily(10.989);       // 150 counts
    p.write(A::Alm_Mag1, 0x8032); // a change of more than 50 counts
    p.write(A::Alm_Smpl1, 4);     // over 4 samples
    p.write(A::Alm_Ctrl, 0x0A00); // source 2 (rate), rate of change on
    p.samples(20);
    EXPECT_EQ(p.read(A::Status), 0x0000) << "steady";

    p.turnSteadily(21.978); // 300 counts
    p.samples(3);
    EXPECT_EQ(p.read(A::Status), 0x0100);
    p.samples(10);
    EXPECT_EQ(p.read(A::Status), 0x0000) << "steady again";
}
