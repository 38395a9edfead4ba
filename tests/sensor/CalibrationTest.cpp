// The averaging run: its time limits, and a mean over exactly the samples read.
// The calibration window's tests cover stopping, closing and failed reads.
#include "BiasAveraging.h"
#include "InterfaceBringUp.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace gyro;

TEST(AveragingTime, LimitsAndTheShortestRun)
{
    EXPECT_EQ(LimitedAveragingSeconds(2000), 1000.0);
    EXPECT_EQ(LimitedAveragingSeconds(0.0001), 0.0001);
    for (const double tooShort : {0.0, -3.0, 0.00005, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(LimitedAveragingSeconds(tooShort), 0.0) << tooShort;
    // The proposal cancels the mean as shown with three decimals, never as "-0.000".
    EXPECT_EQ(ProposedGyroOffset(0.2934), -0.293);
    EXPECT_EQ(ProposedGyroOffset(-1.4651), 1.465);
    EXPECT_FALSE(std::signbit(ProposedGyroOffset(0.0001)));
}

TEST(AveragingRun, ClearsTheOffsetAndAveragesUntilTheTimeIsUp)
{
    sim::SimPlatform sim;
    test::RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
    g.DelayCalibrated = true;
    g.InterfaceType = 2;
    TellOpening(g.ui, OpenUsbCard(g));
    sim.sensor().setRegisterWord(0x14, 0x0100); // an old offset in GYRO_OFST

    // Each sample takes 0.1 s of simulated time.
    std::vector<AveragingProgress> progress;
    AveragingHooks hooks;
    hooks.sampleTaken = [&](const AveragingProgress& p) {
        progress.push_back(p);
        sim.fakeClock()->advance(0.1);
    };
    const AveragingResult result = RunBiasAveraging(g, 0.45, hooks);
    EXPECT_TRUE(result.offsetCleared);
    EXPECT_EQ(sim.sensor().registerWord(0x14), 0);
    // Samples at 0, 0.1 .. 0.5 s: the first at or past 0.45 s is the last.
    ASSERT_EQ(result.count, 6);
    ASSERT_EQ(progress.size(), 6u);
    EXPECT_NEAR(progress.back().remainingSeconds, -0.05, 1e-9);
    double sum = 0;
    for (const AveragingProgress& p : progress)
        sum += p.sample;
    EXPECT_DOUBLE_EQ(result.mean, sum / 6);
    EXPECT_FALSE(result.stopped || result.readFailed);
}
