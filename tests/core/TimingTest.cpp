#include "Timing.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

using namespace gyro;

namespace {
// The calibration's timed runs, each put together from the pieces it was spun in
// (consecutive spins at one count; the tests below never time two runs in a row
// at the same count).
std::vector<sim::FakeBusyLoop::Spin> timedRuns(const sim::FakeBusyLoop& busy)
{
    std::vector<sim::FakeBusyLoop::Spin> runs;
    for (const auto& piece : busy.spins()) {
        if (!runs.empty() && runs.back().turnsPerUnit == piece.turnsPerUnit)
            runs.back().units += piece.units;
        else
            runs.push_back(piece);
    }
    return runs;
}
} // namespace

TEST(DelayMs, UnitCountsFollowTheTenMicrosecondGrid)
{
    EXPECT_EQ(DelayUnits(0.0f), 0);
    EXPECT_EQ(DelayUnits(0.001f), 1); // below the resolution: one unit
    EXPECT_EQ(DelayUnits(-5.0f), 1);  // negative: one unit
    EXPECT_EQ(DelayUnits(0.5f), 50);
    EXPECT_EQ(DelayUnits(2.5f), 250);
    EXPECT_EQ(DelayUnits(0.015f), 1);  // 0.015f is 0.01499999966...: 1.4999 units
    EXPECT_EQ(DelayUnits(0.025f), 3);  // 0.025f is 0.0250000004: 2.50000004 units
    EXPECT_EQ(DelayUnits(0.125f), 12); // exactly 12.5 units: the even neighbour
    EXPECT_EQ(DelayUnits(0.1f), 10);
}

TEST(DelayMs, ZeroReturnsWithoutCalibrating)
{
    test::CoreFixture f;
    DelayMs(f.g, 0.0f);
    EXPECT_FALSE(f.g.DelayCalibrated);
    EXPECT_TRUE(f.busy.spins().empty());
}

TEST(DelayMs, SpinsTheUnitsWithTheCalibratedCount)
{
    test::CoreFixture f;
    f.g.DelayCalibrated = true;
    f.g.LoopsPer10us = 123;
    f.busy.setSecondsPerTurn(10e-6 / 123); // the count is right for this machine
    DelayMs(f.g, 0.25f);
    ASSERT_EQ(f.busy.spins().size(), 1u);
    EXPECT_EQ(f.busy.spins()[0].units, 25);
    EXPECT_EQ(f.busy.spins()[0].turnsPerUnit, 123);
    EXPECT_TRUE(f.clock.sleeps().empty());
}

TEST(DelayMs, FirstWaitCalibratesOnDemand)
{
    test::CoreFixture f;
    DelayMs(f.g, 0.4f);
    EXPECT_TRUE(f.g.DelayCalibrated);
    EXPECT_EQ(f.busy.spins().back().units, 40);
}

TEST(DelayMs, WaitsOverHalfAMillisecondSleepAndSpinOnlyTheirLastStretch)
{
    struct Case {
        float ms;
        double slept;           // seconds, 0 when the wait only spins
        std::int64_t spunUnits; // in 10 us units: the last 0.15 ms of a long wait
    };
    const Case cases[] = {
        {0.5f, 0, 50}, {0.51f, 0.00036, 15}, {1.0f, 0.00085, 15}, {5.0f, 0.00485, 15}, {100.0f, 0.09985, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        test::CoreFixture f;
        f.g.DelayCalibrated = true;
        f.g.LoopsPer10us = 10000; // exact for 1 ns a turn
        DelayMs(f.g, c.ms);
        EXPECT_NEAR(f.clock.monotonicSeconds(), c.ms / 1000.0, 1e-9);
        if (c.slept == 0) {
            EXPECT_TRUE(f.clock.sleeps().empty());
        } else {
            ASSERT_EQ(f.clock.sleeps().size(), 1u);
            EXPECT_NEAR(f.clock.sleeps()[0], c.slept, 1e-9);
        }
        ASSERT_EQ(f.busy.spins().size(), 1u);
        EXPECT_EQ(f.busy.spins()[0].units, c.spunUnits);
    }
}

TEST(DelayMs, ASpinThatFallsShortOfTheClockIsToppedUp)
{
    // The count was measured while the machine ran at a third of today's speed:
    // each spin takes a third of the time it stands for.
    for (float ms : {0.3f, 0.5f, 2.0f, 100.0f}) {
        SCOPED_TRACE(ms);
        test::CoreFixture f;
        f.g.DelayCalibrated = true;
        f.g.LoopsPer10us = 10000;
        f.busy.setSecondsPerTurn(1e-9 / 3);
        DelayMs(f.g, ms);
        // Never early, and at most half a unit late.
        EXPECT_GE(f.clock.monotonicSeconds(), ms / 1000.0 - 5e-6);
        EXPECT_LE(f.clock.monotonicSeconds(), ms / 1000.0 + 5e-6);
    }
}

TEST(CalibrateDelay, ConvergesOnTheModelledMachineSpeed)
{
    // 1 ns a turn: 10 us take 10'000 turns.
    test::CoreFixture f;
    CalibrateDelay(f.g);
    EXPECT_EQ(f.g.LoopsPer10us, 10000);
    EXPECT_TRUE(f.g.DelayCalibrated);
    EXPECT_FALSE(f.ui.busyCursor);
    EXPECT_EQ(f.ui.busyCursorChanges, 2);
    // The first 500 ms run takes 50'000 units x 1000 turns x 1 ns = 0.05 s, under 0.1 s,
    // so a second run goes at x6 (0.3 s), then the 3000 ms run confirms 10'000.
    const auto runs = timedRuns(f.busy);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].turnsPerUnit, 1000);
    EXPECT_EQ(runs[1].turnsPerUnit, 6000);
    EXPECT_EQ(runs[2].units, 300000);
    EXPECT_TRUE(f.clock.sleeps().empty()); // the calibration times the spin alone
}

// The start-up window is painted during the calibration's seconds: no piece spins
// longer than 100 ms nominal without a yield to the window system after it, and
// what the yields take is not counted as spin time.
TEST(CalibrateDelay, YieldsToTheWindowSystemEveryHundredMilliseconds)
{
    test::CoreFixture f;
    f.ui.onYield = [&] { f.clock.advance(0.05); };
    CalibrateDelay(f.g);
    for (const auto& piece : f.busy.spins())
        EXPECT_LE(piece.units, 10000);
    EXPECT_EQ(f.ui.yields, static_cast<int>(f.busy.spins().size()));
    EXPECT_EQ(f.g.LoopsPer10us, 10000);
}

TEST(CalibrateDelay, QuarterSecondDoublesAndOneSecondHalvesTheCount)
{
    // 1000 turns per unit x 50'000 units = 5e7 turns in the first run.
    test::CoreFixture quarter;
    quarter.busy.setSecondsPerTurn(0.25 / 5e7);
    CalibrateDelay(quarter.g);
    ASSERT_EQ(timedRuns(quarter.busy).size(), 2u);
    EXPECT_EQ(timedRuns(quarter.busy)[1].turnsPerUnit, 2000); // the 500 ms run doubled it

    test::CoreFixture second;
    second.busy.setSecondsPerTurn(1.0 / 5e7);
    CalibrateDelay(second.g);
    ASSERT_EQ(timedRuns(second.busy).size(), 2u);
    EXPECT_EQ(timedRuns(second.busy)[1].turnsPerUnit, 500);
    EXPECT_EQ(second.g.LoopsPer10us, 500); // the 3 s run confirms it
}

TEST(CalibrateDelay, CommandLineStartsFromAFifthOfTheCount)
{
    test::CoreFixture f;
    f.g.CommandLineGiven = true;
    f.busy.setSecondsPerTurn(0.5 / (200 * 50000.0)); // 200 turns make exactly 10 us
    CalibrateDelay(f.g);
    EXPECT_EQ(f.busy.spins()[0].turnsPerUnit, 200);
    EXPECT_EQ(f.g.LoopsPer10us, 200);
}

TEST(CalibrateDelay, FarTooFastLoopIsLengthenedFortyThenSixTimes)
{
    // 1e-13 s a turn: the first 500 ms run takes 5 us (< 0.005 s): x40 gives 0.2 ms,
    // still under 0.1 s: x6 gives 1.2 ms.
    test::CoreFixture f;
    f.busy.setSecondsPerTurn(1e-13);
    CalibrateDelay(f.g);
    const auto runs = timedRuns(f.busy);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[1].turnsPerUnit, 40000);
    EXPECT_EQ(runs[2].turnsPerUnit, 240000);
    // 10 us take 1e8 turns on this machine (single-precision times leave a few turns).
    EXPECT_NEAR(f.g.LoopsPer10us, 100000000, 10);
}

TEST(CalibrateDelay, SlowAndInstantMachinesKeepAUsableCount)
{
    // A loop that takes no time at all measures 0: the count is clamped, not overflowed.
    test::CoreFixture instant;
    instant.busy.setSecondsPerTurn(0.0);
    CalibrateDelay(instant.g);
    EXPECT_GT(instant.g.LoopsPer10us, 0);

    // A machine so slow that 10 us is less than one turn still spins at least one turn.
    test::CoreFixture slow;
    slow.busy.setSecondsPerTurn(1e-3);
    CalibrateDelay(slow.g);
    EXPECT_EQ(slow.g.LoopsPer10us, 1);
}

TEST(CalibrateDelay, MeasuresElapsedTimeAcrossMidnight)
{
    test::CoreFixture f;
    f.clock.setMidnightOffset(24 * 3600.0 - 0.2); // the first run crosses midnight
    f.busy.setSecondsPerTurn(0.25 / 5e7);
    CalibrateDelay(f.g);
    EXPECT_EQ(f.g.LoopsPer10us, 2000);
}
