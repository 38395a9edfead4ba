// Rate, filter, I/O and DAC words, worked out from the register layouts:
// Smpl_Prd bit 7 time base (0: 0.001953 s, 1: 0.06054 s), bits 6..0 NS, period =
// base x (NS + 1); Sens_Avg bits 2..0 N (2 x 2^N + 1 taps), bit 7 bandwidth,
// bits 10..8 range code.
#include "OperationWords.h"
#include "SensorBench.h"

using namespace gyro;
using namespace gyro::test;

TEST(SampleRate, EncodesTheNearestPeriodAndShowsWhatTheWordSets)
{
    struct Case {
        double rate;
        std::int32_t word;
        const char* shown;
    };
    const Case cases[] = {
        {256, 0x01, "256.016"}, // 1/256 / 0.001953 - 1 = 1.0002 -> NS 1; 1 / 0.003906
        {5000, 0x00, "2048.0"}, // limited to 2048 -> NS 0; 512 per second is shown as 2048
        {0.01, 0xFF, "0.129"},  // limited to 1/7.75 -> long base, NS 127; 1 / 7.74912
        {16.5, 0x1E, "16.517"}, // 1/16.5 / 0.001953 - 1 = 30.03 -> 30; 1 / 0.060543
        {3.845, 0x83, "4.13"},  // below the switch: 1/3.845 / 0.06054 - 1 = 3.30 -> NS 3
        // The band above the switch: the short base would need 128..132 counts, which
        // the 7-bit field cannot hold; 127 (0.249984 s) is the nearest period it can.
        {3.846, 0x7F, "4.0"},
        {3.9, 0x7F, "4.0"},
        {3.984, 0x7F, "4.0"}, // 127.52 counts would have rounded to 128
        {3.99, 0x7F, "4.0"},  // 127.33 -> 127 anyway
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SamplePeriodWord(c.rate), c.word) << c.rate;
        EXPECT_EQ(SampleRateText(SampleRateOfWord(c.word)), c.shown) << c.rate;
    }
    EXPECT_EQ(SampleRateText(SampleRateOfWord(128)), "16.518"); // 1 / 0.06054
    EXPECT_EQ(SampleRateText(SampleRateOfWord(9)), "51.203");   // 1 / 0.01953
}

TEST(SampleRate, EntryThatIsNotANumberAsksForTheDefaultRate)
{
    EXPECT_EQ(SampleRateEntry("100"), 100.0);
    EXPECT_EQ(SampleRateEntry("abc"), 256.0);
    EXPECT_EQ(SampleRateEntry("12abc"), 256.0);
    EXPECT_EQ(SampleRateEntry(""), 256.0);
}

TEST(FilterWords, TapsRangeAndBandwidth)
{
    struct Case {
        const char* taps;
        int corrected;
        int setting;
    };
    // N = log2((taps - 1) / 2) to the nearest: 3 -> 0, 4 -> log2 1.5 = 0.58 -> 1,
    // 100 -> log2 49.5 = 5.63 -> 6, 257 -> 7.
    const Case cases[] = {{"2", 3, 0}, {"300", 257, 7}, {"100", 100, 6},
                          {"4", 4, 1}, {"abc", 3, 0},   {"3.5", 4, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(CorrectedTaps(c.taps), c.corrected) << c.taps;
        EXPECT_EQ(FilterSetting(c.corrected), c.setting) << c.taps;
    }
    EXPECT_EQ(TapsOfSetting(6), 129);
    // 300 Hz (0x80) + 160 deg/s (2 x 256) + N 6 = 0x0286.
    EXPECT_EQ(SensAvgWord({100, RangeCode::Range160, true}), 0x0286);
    const SensAvgSettings s = SensAvgSettingsOf(0x0402);
    EXPECT_EQ(s.taps, 9);
    EXPECT_EQ(RangeDegPerSec(s.rangeCode), 320);
    EXPECT_FALSE(s.wideBandwidth);
    EXPECT_EQ(RangeDegPerSec(3), 0);
}

TEST(IoWords, GpioAndDataReadyBits)
{
    // Line 1 output, line 0 input, both low: bit 1 only.
    EXPECT_EQ(GpioCtrlWord({false, true, false, false}), 0x0002);
    EXPECT_EQ(GpioCtrlWord({true, false, true, true}), 0x0301);
    const GpioSettings g = GpioSettingsOf(0x0201);
    EXPECT_TRUE(g.line0Output && !g.line1Output && !g.line0High && g.line1High);
    // "DIO 2", "High", "ON": bits 0, 1, 2.
    EXPECT_EQ(MscCtrlWord({true, true, true}), 0x0007);
    const DataReadySettings d = DataReadySettingsOf(0x0104); // self-test bit 8 is not ours
    EXPECT_TRUE(!d.secondLine && !d.activeHigh && d.enabled);
}

TEST(DacWords, VoltsToCodeAndBack)
{
    EXPECT_EQ(CorrectedDacVolts("1.25"), 1.25);
    EXPECT_EQ(CorrectedDacVolts("3"), 2.5);
    EXPECT_EQ(CorrectedDacVolts("-1"), 0.0);
    EXPECT_EQ(CorrectedDacVolts("x"), 0.0);
    EXPECT_EQ(DacCode(1.25), 2047); // 1.25 / 2.5 x 4095 = 2047.5, whole part
    EXPECT_EQ(DacCode(2.5), 4095);
    EXPECT_EQ(DacVoltsText(DacVolts(2047)), "1.2496947"); // 2047 / 4095 x 2.5
}

using OperationWrites = SensorTest;

TEST_F(OperationWrites, UsbCardLimitsTheSamplePeriodAndSaysSo)
{
    const SamplePeriodChoice usb = ChooseSamplePeriod(g, 10); // 1/10 / 0.001953 - 1 = 50.2 -> 50
    EXPECT_EQ(usb.word, UsbSamplePeriodLimit);
    EXPECT_TRUE(usb.lowPowerLimited);
    EXPECT_TRUE(LowPowerWarning().startsWith("Setting the sample rate lower than 163.84 sps, or\r\n"));
    g.InterfaceType = 1;
    EXPECT_EQ(ChooseSamplePeriod(g, 10).word, 50);
    EXPECT_FALSE(ChooseSamplePeriod(g, 10).lowPowerLimited);
}

TEST_F(OperationWrites, EachWriteReadsItsRegisterBack)
{
    // Smpl_Prd at 0x36: high byte to 0x37, low byte to 0x36, then a read (0x3600 twice).
    EXPECT_EQ(WriteSamplePeriod(g, 0x09), 0x09);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xB700, 0xB609, 0x3600, 0x3600}));

    // Sens_Avg at 0x38, then the range read of the rate scale; 160 deg/s -> 0.03663.
    EXPECT_EQ(WriteSensAvg(g, 0x0206), 0x0206);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xB902, 0xB806, 0x3800, 0x3800, 0x3800, 0x3800}));
    EXPECT_FLOAT_EQ(g.Reg[Idx_Gyro_Out].RegScale, 0.03663f);

    // The DAC: code, Command 4 (latch) at 0x3E, read-back of Aux_DAC at 0x30.
    EXPECT_EQ(WriteAuxDac(g, 2047), 2047);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xB107, 0xB0FF, 0xBF00, 0xBE04, 0x3000, 0x3000}));
    EXPECT_EQ(sim.sensor().dacOutputCode(), 2047);

    // Msc_Ctrl at 0x34 clears self-test (bit 8) with the rest; the shadow follows.
    sim.sensor().setRegisterWord(0x34, 0x0100);
    EXPECT_EQ(WriteMscCtrl(g, 0x0007), 0x0007);
    EXPECT_EQ(g.MscCtrlShadow, 0x0007);
    EXPECT_EQ(WriteGpioCtrl(g, 0x0002), 0x0002);
    EXPECT_EQ(g.GpioCtrlShadow, 0x0002);
}

TEST_F(OperationWrites, NoAnswerGivesNoWord)
{
    sim.usb().stopAnswering(0);
    EXPECT_EQ(WriteSamplePeriod(g, 1), std::nullopt);
    EXPECT_EQ(ReadWord(g, Idx_Sens_Avg), std::nullopt);
    EXPECT_FALSE(ui.messages.empty()); // the card's failure was told
}
