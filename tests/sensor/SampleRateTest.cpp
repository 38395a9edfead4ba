// The sample rate in Smpl_Prd, worked out from the register layout: bit 7 time
// base (0: 0.001953 s, 1: 0.06054 s), bits 6..0 NS, period = base x (NS + 1).
// The windows' tests cover the other words through their frames.
#include "OperationWords.h"

#include <gtest/gtest.h>

using namespace gyro;

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
