// The offset register in deg/s, the sensor's offset commands and the averaging run.
// GYRO_OFST (0x14) holds 12-bit two's complement counts of 0.018315 deg/s.
#include "BiasAveraging.h"
#include "HexText.h"
#include "OffsetEntry.h"
#include "SensorBench.h"

#include <cmath>
#include <limits>

using namespace gyro;
using namespace gyro::test;

using Calibration = SensorTest;

TEST_F(Calibration, OffsetEntriesAreLimitedAndWrittenAsCounts)
{
    struct Case {
        const char* entry;
        std::int32_t count;
        const char* hex;
        const char* shown;
    };
    const Case cases[] = {
        {"abc", 0, "0000", "0.000"},
        {"-40", -2048, "F800", "-37.509"}, // limited to -37.50912 = -2048 x 0.018315
        {"40", 2047, "07FF", "37.491"},    // limited to 37.490805 = 2047 x 0.018315
        {"0.01", 1, "0001", "0.018"},      // 0.546 counts -> 1
        {"-0.293", -16, "FFF0", "-0.293"}, // -15.998 -> -16
    };
    for (const Case& c : cases) {
        const std::int32_t count = GyroOffsetCount(g, CorrectedGyroOffset(c.entry));
        EXPECT_EQ(count, c.count) << c.entry;
        const auto reading = WriteGyroOffset(g, count);
        ASSERT_TRUE(reading) << c.entry;
        EXPECT_EQ(ValueToHex4(reading->word), c.hex) << c.entry;
        EXPECT_EQ(GyroOffsetText(reading->degPerSec), c.shown) << c.entry;
        // High byte to 0x15, low byte to 0x14, then the read-back.
        const auto word = static_cast<std::uint16_t>(count & 0xFFFF);
        EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{static_cast<std::uint16_t>(0x9500 | (word >> 8)),
                                                           static_cast<std::uint16_t>(0x9400 | (word & 0xFF)),
                                                           0x1400, 0x1400}))
            << c.entry;
    }
}

TEST_F(Calibration, AutoNullCancelsTheBiasAndShowsTheNewOffset)
{
    int shown = 0;
    int hidden = 0;
    const auto reading = RunOffsetCommand(g, CommandCode::AutoNull, {[&] { ++shown; }, [&] { ++hidden; }});
    ASSERT_TRUE(reading);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xBF00, 0xBE01, 0x1400, 0x1400}));
    // The sensor's null cancels its bias: the offset is minus the bias, within a count.
    EXPECT_NEAR(reading->degPerSec, -sim.sensor().biasNow(), 0.02);
}

TEST(AveragingTime, LimitsAndTheShortestRun)
{
    EXPECT_EQ(LimitedAveragingSeconds(2000), 1000.0);
    EXPECT_EQ(LimitedAveragingSeconds(2.5), 2.5);
    EXPECT_EQ(LimitedAveragingSeconds(0.0001), 0.0001);
    for (const double tooShort : {0.0, -3.0, 0.00005, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(LimitedAveragingSeconds(tooShort), 0.0) << tooShort;
    // The proposal cancels the mean as shown with three decimals.
    EXPECT_EQ(ProposedGyroOffset(0.2934), -0.293);
    EXPECT_EQ(ProposedGyroOffset(-1.4651), 1.465);
    EXPECT_FALSE(std::signbit(ProposedGyroOffset(0.0001)));
}

struct AveragingRun : SensorTest {
    AveragingRun()
    {
        // A sensor at rest with no noise: every sample is the bias.
        sim::SensorModel model = sim.sensor().model();
        model.motion = nullptr;
        model.silenceNoise();
        sim.sensor().setModel(model);
        sim.sensor().setRegisterWord(0x14, 0x0100); // an old offset, to be cleared
    }

    // Each sample takes `step` seconds of simulated time.
    AveragingHooks pacedBy(double step)
    {
        AveragingHooks hooks;
        hooks.sampleTaken = [this, step](const AveragingProgress& p) {
            progress.push_back(p);
            sim.fakeClock()->advance(step);
        };
        return hooks;
    }

    std::vector<AveragingProgress> progress;
};

TEST_F(AveragingRun, ClearsTheOffsetAndAveragesUntilTheTimeIsUp)
{
    const AveragingResult result = RunBiasAveraging(g, 0.5, pacedBy(0.1));
    EXPECT_TRUE(result.offsetCleared);
    EXPECT_EQ(sim.sensor().registerWord(0x14), 0);
    // Samples at 0, 0.1 .. 0.5 s: the one at 0.5 s is the last.
    EXPECT_EQ(result.count, 6);
    ASSERT_EQ(progress.size(), 6u);
    EXPECT_NEAR(progress.back().remainingSeconds, 0.0, 1e-9);
    double sum = 0;
    for (const AveragingProgress& p : progress)
        sum += p.sample;
    EXPECT_DOUBLE_EQ(result.mean, sum / 6);
    EXPECT_FALSE(result.stopped);
    EXPECT_FALSE(result.readFailed);
}

TEST_F(AveragingRun, StopsAfterTheCurrentSampleOrAFailedRead)
{
    AveragingHooks hooks = pacedBy(0.01);
    hooks.stopRequested = [this] { return progress.size() == 3; };
    AveragingResult result = RunBiasAveraging(g, 10, hooks);
    EXPECT_EQ(result.count, 3);
    EXPECT_TRUE(result.stopped);

    // The card stops answering after the fourth sample: that read is not counted.
    progress.clear();
    hooks.stopRequested = [this] {
        if (progress.size() == 4)
            sim.usb().stopAnswering(0);
        return false;
    };
    result = RunBiasAveraging(g, 10, hooks);
    EXPECT_EQ(result.count, 4);
    EXPECT_TRUE(result.readFailed);
    EXPECT_EQ(result.mean, progress.back().mean);
}
