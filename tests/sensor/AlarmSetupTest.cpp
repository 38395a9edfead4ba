// The alarm words written to and read from the simulated sensor.
#include "AlarmSetup.h"
#include "RegisterAccess.h"
#include "SensorFixture.h"

namespace gyro::test {
namespace {

constexpr int AlmMag1 = 0x20;
constexpr int AlmMag2 = 0x22;
constexpr int AlmSmpl1 = 0x24;
constexpr int AlmSmpl2 = 0x26;
constexpr int AlmCtrl = 0x28;
constexpr int SensAvg = 0x38;

struct AlarmSetup : SimSensorFixture {
    // Writes alarm 1 with `position`, alarm 2 disabled; returns alarm 1's corrected text.
    QString writeAlarm1(int position, const QString& level, bool greater)
    {
        std::array<AlarmLevelSetting, 2> alarms{AlarmLevelSetting{position, level, greater},
                                                AlarmLevelSetting{AlarmSource::Disabled, "0", false}};
        EXPECT_TRUE(WriteAlarmSetup(g, alarms));
        return alarms[0].levelText;
    }
};

TEST_F(AlarmSetup, LevelsBecomeWordsWithTheLimitsAndRounding)
{
    using namespace AlarmSource;
    struct Case {
        int position;
        const char* level;
        bool greater;
        std::uint16_t word;
        const char* boxText;
    };
    // Scales per count: supply 0.00183, gyro 0.07326 (320 deg/s), aux 0.000611, temp 0.1454139.
    const Case cases[] = {
        {Gyro, "100", true, 0x8555, "100"},          // 1365 = 0x555, plus bit 15
        {Gyro, "-100", false, 0x3AAB, "-100"},       // 16384 - 1365 = 15019
        {Gyro, "700", false, 0x1FFE, "600"},         // 600 / 0.07326 = 8190.0
        {Gyro, "-700", false, 0x2002, "-600"},       // 16384 - 8190
        {Supply, "-1", false, 0x0000, "0"},          //
        {Supply, "8", false, 0x0FFF, "7.49385"},     // 4095 counts
        {Supply, "5", false, 0x0AAC, "5"},           // 2732.2 -> 2732
        {Temp, "10", false, 0x0045, "10"},           // 68.8 -> 69, no offset
        {Aux, "1", false, 0x0665, "1"},              // 1636.7 -> 1637
        {Disabled, "55", true, 0x8000, "55"},        // no count, polarity only
        {Gyro, "abc", true, 0x8000, "0"},            // not a number
        {Gyro, "1e30", true, 0x9FFE, "600"},         // absurd: provisional count saturates
        {Gyro, "0.03663", false, 0x0000, "0.03663"}, // half a count rounds to even: 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(writeAlarm1(c.position, c.level, c.greater), c.boxText) << c.level;
        EXPECT_EQ(word(AlmMag1), c.word) << c.level;
        EXPECT_EQ(g.AlmMag1Shadow, c.word) << c.level;
    }
}

TEST_F(AlarmSetup, LevelsStayInsideTheFourteenBitFieldAtEveryRange)
{
    using namespace AlarmSource;
    // 80 deg/s range: 0.018315 deg/s per count; the field holds -8192..8191 counts,
    // -150.03648..150.018165 deg/s. The auxiliary input: -5.005312..5.004701 V.
    setWord(SensAvg, 0x0102);
    ASSERT_EQ(SetGyroScale(g).result, GyroScaleResult::Set);
    struct Case {
        int position;
        const char* level;
        std::uint16_t word;
        const char* boxText;
    };
    const Case cases[] = {
        {Gyro, "400", 0x1FFF, "150.0182"}, {Gyro, "-400", 0x2000, "-150.0365"},
        {Gyro, "100", 0x1554, "100"}, // 5460.0 counts
        {Aux, "6", 0x1FFF, "5.004701"},    {Aux, "-6", 0x2000, "-5.005312"},
        {Temp, "700", 0x101E, "600"}, // 4126.1 counts fit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(writeAlarm1(c.position, c.level, false), c.boxText) << c.level;
        EXPECT_EQ(word(AlmMag1), c.word) << c.level;
    }
}

TEST_F(AlarmSetup, SourcesGoToTheirBitsAndKeepEveryOtherBit)
{
    setWord(AlmCtrl, 0x88A5); // rate bits 15 and 11, indicator and spare bits 0xA5
    std::array<AlarmLevelSetting, 2> alarms{AlarmLevelSetting{AlarmSource::Aux, "0", false},
                                            AlarmLevelSetting{AlarmSource::Temp, "0", false}};
    EXPECT_TRUE(WriteAlarmSetup(g, alarms));
    EXPECT_EQ(word(AlmCtrl), 0xEDA5); // 0x88A5 with source 5 in bits 10..8 and 6 in 14..12
    EXPECT_EQ(g.AlmCtrlShadow, 0xEDA5);
}

TEST_F(AlarmSetup, AnAlarmWithoutASourceIsLeftAsTheSensorHoldsIt)
{
    // Alarm 1 holds source 7, which the list has no entry for.
    setWord(AlmCtrl, 0x0700);
    setWord(AlmMag1, 0x8123);
    std::array<AlarmLevelSetting, 2> alarms{AlarmLevelSetting{std::nullopt, "typed text", true},
                                            AlarmLevelSetting{AlarmSource::Gyro, "100", true}};
    EXPECT_TRUE(WriteAlarmSetup(g, alarms));
    EXPECT_EQ(word(AlmCtrl), 0x2700);
    EXPECT_EQ(word(AlmMag1), 0x8123);
    EXPECT_EQ(word(AlmMag2), 0x8555);
    for (std::uint16_t frame : writeFrames())
        EXPECT_NE((frame >> 8) & 0x7E, AlmMag1) << std::hex << frame; // no frame to 0x20 or 0x21

    // The other groups' writes keep it too.
    QString average = "3";
    EXPECT_TRUE(WriteAlarmAverage(g, 1, average, true));
    EXPECT_TRUE(WriteDigitalIndicator(g, AlarmIndicator{true, false, true}));
    EXPECT_EQ(word(AlmCtrl), 0x2F05);
}

TEST_F(AlarmSetup, AverageNumbersAreLimitedAndRoundedHalfToEven)
{
    struct Case {
        const char* text;
        const char* boxText;
        std::uint16_t value;
    };
    const Case cases[] = {{"abc", "0", 0},   {"300", "255", 255}, {"-4", "0", 0},
                          {"2.5", "2.5", 2}, {"3.5", "3.5", 4},   {"17", "17", 17}};
    for (const Case& c : cases) {
        QString text = c.text;
        EXPECT_TRUE(WriteAlarmAverage(g, 2, text, false));
        EXPECT_EQ(text, c.boxText);
        EXPECT_EQ(word(AlmSmpl2), c.value) << c.text;
    }
    EXPECT_EQ(word(AlmSmpl1), 0);
}

} // namespace
} // namespace gyro::test
