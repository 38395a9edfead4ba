// The still sensor's documented noise: its white-noise density read back as the
// angle random walk of its Allan deviation, and the slow terms (bias instability,
// rate random walk) with the floor and slope they are stated to give.
#include "AllanDeviation.h"
#include "NoiseTerms.h"
#include "RateNoise.h"
#include "SensorProbe.h"
#include "SimPlatform.h"

#include <cmath>
#include <gtest/gtest.h>

namespace gyro::sim {
namespace {

analysis::SampleStore<double> storeOf(const std::vector<double>& values)
{
    analysis::SampleStore<double> store;
    for (double v : values)
        store.append(v);
    store.flush();
    return store;
}

TEST(StillSensorNoise, AngleRandomWalkIsTheStatedWhiteNoiseDensity)
{
    test::SensorProbe probe(5);
    SensorModel still = probe.sensor.model();
    still.motion = {};
    probe.sensor.setModel(still);
    probe.write(SensorAddress::Smpl_Prd, 0x0000); // 2048 samples a second
    probe.write(SensorAddress::Sens_Avg, 0x0480); // 320 deg/s (0.07326 a count), 300 Hz bandwidth, 3 taps
    probe.samples(8);
    std::vector<double> rate;
    for (int i = 0; i < (1 << 19); ++i) {
        probe.samples(1);
        rate.push_back(0.07326 * test::countOf(probe.read(SensorAddress::Gyro_Out), 14));
    }
    const auto store = storeOf(rate);
    const auto points = analysis::AllanDeviation({store, 1.0 / 2048, 0.07326}, {}, {});
    const analysis::NoiseTerms terms = analysis::FindNoiseTerms(points);
    ASSERT_TRUE(terms.N);
    // 0.5 deg/s rms a sample at 2048 a second: N = 0.5 / sqrt(2048) deg/sqrt(s) = 0.663 deg/sqrt(h).
    const double clusters = (1 << 19) / (terms.N->tau * 2048);
    EXPECT_NEAR(analysis::AngleRandomWalkUnits(terms.N->value).perHour, 0.663,
                0.663 * 3.0 / std::sqrt(2.0 * (clusters - 1)));
}

TEST(StillSensorNoise, TheStillOptionTurnsOnlyTheMotionOff)
{
    SimOptions moving, still;
    still.still = true;
    SimPlatform a(moving), b(still);
    EXPECT_TRUE(static_cast<bool>(a.sensor().model().motion));
    const SensorModel& m = b.sensor().model();
    EXPECT_FALSE(static_cast<bool>(m.motion));
    EXPECT_GT(m.noiseWideDegPerSec, 0);
    EXPECT_GT(m.biasInstabilityDegPerSec, 0);
    EXPECT_NE(m.biasDegPerSec, 0);
}

// The slow terms alone, one step a second.
std::vector<double> slowNoise(double B, double K, int seconds)
{
    RateNoise noise(9);
    std::vector<double> values;
    for (int i = 0; i < seconds; ++i)
        values.push_back(noise.advance(1.0, B, K));
    return values;
}

TEST(StillSensorNoise, BiasInstabilityIsAFlatFloorOf0664B)
{
    const double B = 0.003;
    const auto store = storeOf(slowNoise(B, 0, 1 << 21));
    for (const analysis::AllanPoint& p : analysis::AllanDeviation({store, 1.0, 0}, {}, {})) {
        // Stepped once a second, the 0.3 s process is white below a few seconds.
        if (p.tau < 4 || p.tau > 2000)
            continue;
        EXPECT_NEAR(p.adev / (analysis::BiasInstabilityFactor * B), 1.0, 0.15) << "tau " << p.tau;
    }
}

TEST(StillSensorNoise, RateRandomWalkRisesAsKRootTauOverThree)
{
    const double K = 1e-4;
    const auto store = storeOf(slowNoise(0, K, 1 << 20));
    for (const analysis::AllanPoint& p : analysis::AllanDeviation({store, 1.0, 0}, {}, {})) {
        if (p.m < 8 || p.clusters < 16) // a discrete walk: K sqrt(tau / 3) from a few steps on
            continue;
        const double tolerance = 3.0 / std::sqrt(2.0 * static_cast<double>(p.clusters - 1));
        EXPECT_NEAR(p.adev / analysis::RateRandomWalkLine(K, p.tau), 1.0, std::max(0.05, tolerance))
            << "tau " << p.tau;
    }
}

} // namespace
} // namespace gyro::sim
