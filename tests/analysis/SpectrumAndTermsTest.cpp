// The Welch spectrum's one-sided scaling (white noise and a sine's power) and the
// noise terms read from curves of known N, B and K.
#include "NoiseTerms.h"
#include "SampleStore.h"
#include "SeriesFiles.h"
#include "WelchPsd.h"

#include <gtest/gtest.h>
#include <numbers>

namespace gyro::analysis {
namespace {

SampleStore<double> storeOf(const std::vector<double>& values)
{
    SampleStore<double> store;
    for (double v : values)
        store.append(v);
    store.flush();
    return store;
}

TEST(WelchPsd, WhiteNoiseReadsTwiceNSquaredOneSided)
{
    const double s = 0.5, fs = 2048.0;
    const SampleStore<double> store = storeOf(test::WhiteNoise(1 << 20, s, 11));
    const PsdResult psd = WelchPsd(store, fs, {});
    EXPECT_EQ(psd.segmentLength, MaxPsdSegment);
    EXPECT_EQ(psd.segments, 127); // 2^20 / 2^13 - 1 half-overlapping segments
    const double N = s / std::sqrt(fs);
    EXPECT_NEAR(psd.whiteDensity * psd.whiteDensity / (2 * N * N), 1.0, 0.02);
    EXPECT_DOUBLE_EQ(psd.frequency.back(), fs / 2);
}

TEST(WelchPsd, ASinesPowerIsItsMeanSquare)
{
    // A sine of amplitude A holds A^2 / 2 of power, all in the bins around its frequency.
    const double fs = 1000.0, f0 = 125.0, A = 3.0;
    std::vector<double> values(1 << 16);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = A * std::sin(2 * std::numbers::pi * f0 * static_cast<double>(i) / fs);
    const PsdResult psd = WelchPsd(storeOf(values), fs, {});
    const double df = psd.frequency[1];
    double power = 0;
    for (std::size_t k = 0; k < psd.density.size(); ++k)
        power += psd.density[k] * df;
    EXPECT_NEAR(power, A * A / 2, 1e-6 * A * A);
}

TEST(WelchPsd, SegmentLengthFollowsTheSeries)
{
    EXPECT_EQ(PsdSegmentLength(15), 0);
    EXPECT_EQ(PsdSegmentLength(16), 8);
    EXPECT_EQ(PsdSegmentLength(100), 32);
    EXPECT_EQ(PsdSegmentLength(1 << 30), MaxPsdSegment);
}

// A curve of the three terms, octave spaced, with plenty of clusters.
std::vector<AllanPoint> curve(double N, double B, double K, double lastTau)
{
    std::vector<AllanPoint> points;
    for (double tau = 0.01; tau <= lastTau; tau *= 2) {
        AllanPoint p;
        p.tau = tau;
        const double floor = BiasInstabilityFactor * B;
        p.adev = std::sqrt(N * N / tau + floor * floor + K * K * tau / 3.0);
        p.clusters = 1000;
        points.push_back(p);
    }
    return points;
}

TEST(NoiseTerms, EachTermWhereTheCurveShowsIt)
{
    struct Case {
        const char* name;
        double N, B, K, lastTau;
        bool hasN, hasB, hasK;
    };
    const Case cases[] = {
        {"white noise only", 0.01, 0, 0, 1000, true, false, false},
        {"all three", 0.01, 1e-3, 1e-7, 1e12, true, true, true},
        {"floor not yet reached", 0.01, 1e-4, 0, 10, true, false, false},
        {"random walk only", 0, 0, 1e-3, 1000, false, false, true},
    };
    for (const Case& c : cases) {
        const NoiseTerms t = FindNoiseTerms(curve(c.N, c.B, c.K, c.lastTau));
        EXPECT_EQ(t.N.has_value(), c.hasN) << c.name;
        EXPECT_EQ(t.B.has_value(), c.hasB) << c.name;
        EXPECT_EQ(t.K.has_value(), c.hasK) << c.name;
        if (t.N && c.hasN) {
            EXPECT_NEAR(t.N->value / c.N, 1.0, 0.05) << c.name;
        }
        if (t.B && c.hasB) {
            EXPECT_NEAR(t.B->value / c.B, 1.0, 0.01) << c.name;
        }
        if (t.K && c.hasK) {
            // Read where the slope comes within 0.1 of +1/2 nearest 3 s: the floor may still add 12 %.
            EXPECT_NEAR(t.K->value / c.K, 1.0, 0.12) << c.name;
        }
    }
}

TEST(NoiseTerms, PointsWithFewClustersDecideNothing)
{
    std::vector<AllanPoint> points = curve(0.01, 0, 0, 1000);
    for (AllanPoint& p : points)
        p.clusters = MinClustersForTerms - 1;
    const NoiseTerms t = FindNoiseTerms(points);
    EXPECT_FALSE(t.N || t.B || t.K);
}

TEST(NoiseTerms, ARiseBeforeTheWhiteNoiseLineIsNoRateRandomWalk)
{
    // Samples held over several lines: the deviation rises as +1/2, then falls as -1/2.
    std::vector<AllanPoint> points;
    for (double tau = 1e-5; tau < 10; tau *= 2) {
        AllanPoint p;
        p.tau = tau;
        p.adev = tau < 0.01 ? 0.1 * std::sqrt(tau / 0.01) : 0.1 * std::sqrt(0.01 / tau);
        p.clusters = 1000;
        points.push_back(p);
    }
    const NoiseTerms t = FindNoiseTerms(points);
    EXPECT_TRUE(t.N);
    EXPECT_FALSE(t.K);
}

TEST(NoiseTerms, UnitsConvert)
{
    // 1 deg/sqrt(s) = 60 deg/sqrt(h); 1 deg/s = 3600 deg/h; radians by pi / 180.
    EXPECT_DOUBLE_EQ(AngleRandomWalkUnits(1.0).perHour, 60.0);
    EXPECT_DOUBLE_EQ(BiasInstabilityUnits(1.0).perHour, 3600.0);
    EXPECT_DOUBLE_EQ(RateRandomWalkUnits(1.0).perHour, 216000.0);
    EXPECT_DOUBLE_EQ(AngleRandomWalkUnits(180.0).si, std::numbers::pi);
}

} // namespace
} // namespace gyro::analysis
