// The Allan deviation against the published NIST SP 1065 values and white noise,
// and the exact sums against a direct computation on both sides of the window.
#include "AllanDeviation.h"
#include "ChiSquared.h"
#include "LogReader.h"
#include "NoiseTerms.h"
#include "SeriesFiles.h"

#include <gtest/gtest.h>

namespace gyro::analysis {
namespace {

using test::TextFile;

struct Read {
    std::unique_ptr<LogSeries> series;
    explicit Read(const QByteArray& text, double rate = 1.0)
    {
        TextFile file(text);
        LogReadOptions options;
        options.sampleRate = rate;
        series = ReadLogSeries(file.path(), options, {}).series;
    }
    std::vector<AllanPoint> allan(TauSpacing spacing, bool overlapping) const
    {
        return AllanDeviation({series->samples, series->intervalSeconds, series->quantum},
                              {spacing, overlapping, 0.683}, {});
    }
};

double adevAt(const std::vector<AllanPoint>& points, double tau)
{
    for (const AllanPoint& p : points)
        if (std::abs(p.tau - tau) < 1e-9 * tau)
            return p.adev;
    ADD_FAILURE() << "no point at tau " << tau;
    return 0;
}

struct PublishedCase {
    const char* name;
    bool overlapping;
    TauSpacing spacing;
    double tau;
    double adev;
};

TEST(AllanDeviation, MeetsTheNbs14NinePointValues)
{
    // 9 whole numbers: summed exactly in counts.
    const Read nbs14("892\n809\n823\n798\n671\n644\n883\n903\n677\n");
    ASSERT_TRUE(nbs14.series);
    EXPECT_EQ(nbs14.series->quantum, 1.0);
    const PublishedCase cases[] = {
        {"non-overlapping tau 1", false, TauSpacing::Octave, 1, 91.22945},
        {"non-overlapping tau 2", false, TauSpacing::Octave, 2, 115.8082},
        {"overlapping tau 2", true, TauSpacing::Octave, 2, 85.95287},
    };
    for (const PublishedCase& c : cases)
        EXPECT_NEAR(adevAt(nbs14.allan(c.spacing, c.overlapping), c.tau), c.adev, 1e-6 * c.adev) << c.name;
}

TEST(AllanDeviation, MeetsTheNbs14ThousandPointValues)
{
    // Fractions: summed in long double.
    const Read nbs14(test::OneNumberALine(test::Nbs14Thousand()));
    ASSERT_TRUE(nbs14.series);
    EXPECT_EQ(nbs14.series->samples.size(), 1000);
    EXPECT_EQ(nbs14.series->quantum, 0.0);
    const PublishedCase cases[] = {
        {"non-overlapping tau 1", false, TauSpacing::Decade, 1, 2.922319e-1},
        {"non-overlapping tau 10", false, TauSpacing::Decade, 10, 9.965736e-2},
        {"non-overlapping tau 100", false, TauSpacing::Decade, 100, 3.897804e-2},
        {"overlapping tau 1", true, TauSpacing::Decade, 1, 2.922319e-1},
        {"overlapping tau 10", true, TauSpacing::Decade, 10, 9.159953e-2},
        {"overlapping tau 100", true, TauSpacing::Decade, 100, 3.241343e-2},
    };
    for (const PublishedCase& c : cases)
        EXPECT_NEAR(adevAt(nbs14.allan(c.spacing, c.overlapping), c.tau), c.adev, 1e-6 * c.adev) << c.name;
}

TEST(AllanDeviation, ClusterSizesOfEachSpacingStopAtTwoClusters)
{
    using Sizes = std::vector<std::int64_t>;
    EXPECT_EQ(ClusterSizes(9, TauSpacing::Octave), (Sizes{1, 2, 4}));
    EXPECT_EQ(ClusterSizes(1000, TauSpacing::Decade), (Sizes{1, 2, 4, 10, 20, 40, 100, 200, 400}));
    EXPECT_EQ(ClusterSizes(7, TauSpacing::All), (Sizes{1, 2, 3}));
    EXPECT_TRUE(ClusterSizes(1, TauSpacing::Octave).empty());
}

TEST(AllanDeviation, WhiteNoiseFallsAsOneOverRootTauWithinItsInterval)
{
    // White noise of deviation s at rate fs: ADEV(tau) = s / sqrt(fs tau).
    const double s = 0.5, fs = 2048.0;
    const Read white(test::OneNumberALine(test::WhiteNoise(1 << 18, s, 7)), fs);
    ASSERT_TRUE(white.series);
    const auto points = white.allan(TauSpacing::Octave, true);
    ASSERT_EQ(points.size(), 18u);
    int inside = 0;
    for (const AllanPoint& p : points) {
        const double expected = s / std::sqrt(fs * p.tau);
        const double tolerance = 4.0 / std::sqrt(2.0 * static_cast<double>(p.clusters - 1));
        EXPECT_NEAR(p.adev / expected, 1.0, tolerance) << "tau " << p.tau;
        EXPECT_LT(p.lower, p.adev);
        EXPECT_GT(p.upper, p.adev);
        EXPECT_EQ(p.clusters, (1 << 18) / p.m);
        inside += p.lower <= expected && expected <= p.upper;
    }
    // 68 % intervals: most of the 18 hold the true value.
    EXPECT_GE(inside, 9);
    const NoiseTerms terms = FindNoiseTerms(points);
    ASSERT_TRUE(terms.N);
    // Within three deviations of the estimate where it was read: 1 / sqrt(2 (K - 1)) for K clusters.
    const double clusters = (1 << 18) / (terms.N->tau * fs);
    EXPECT_NEAR(terms.N->value / (s / std::sqrt(fs)), 1.0, 3.0 / std::sqrt(2.0 * (clusters - 1)));
    EXPECT_NEAR(terms.N->tau, 1.0, 0.5) << "read near 1 s";
    EXPECT_FALSE(terms.B) << "white noise has no floor";
    EXPECT_FALSE(terms.K);
}

// Direct overlapping Allan variance from cluster averages in int64, for counts.
double directAdev(const std::vector<std::int32_t>& y, std::int64_t m)
{
    std::vector<std::int64_t> window(y.size() - static_cast<std::size_t>(m) + 1);
    std::int64_t sum = 0;
    for (std::int64_t i = 0; i < m; ++i)
        sum += y[static_cast<std::size_t>(i)];
    for (std::size_t k = 0; k < window.size(); ++k) {
        window[k] = sum;
        if (k + static_cast<std::size_t>(m) < y.size())
            sum += y[k + static_cast<std::size_t>(m)] - y[k];
    }
    long double squares = 0;
    std::size_t terms = 0;
    for (std::size_t k = 0; k + static_cast<std::size_t>(m) < window.size(); ++k, ++terms) {
        const long double d = static_cast<long double>(window[k + static_cast<std::size_t>(m)] - window[k]);
        squares += d * d;
    }
    return static_cast<double>(std::sqrt(squares / (2.0L * m * m * terms)));
}

TEST(AllanDeviation, ExactSumsAgreeWithDirectAveragesOnBothSidesOfTheWindow)
{
    // 300000 counts: m up to 2^15 share the windowed pass, 2^16 and 2^17 read the
    // stored series at three places from the checkpoints.
    std::mt19937 engine(3);
    std::uniform_int_distribution<std::int32_t> counts(-8192, 8191);
    std::vector<std::int32_t> y(300000);
    QByteArray text;
    for (auto& v : y) {
        v = counts(engine) / 64 + 40; // a bias, so that the sums grow
        text += QByteArray::number(v) + '\n';
    }
    const Read read(text);
    ASSERT_TRUE(read.series);
    ASSERT_GT(read.series->largestCount, 100); // at most 8191 / 64 + 40 = 167
    ASSERT_LE(read.series->largestCount, 167);
    // Counts stored in 32 bits (largest not given) and in 16 bits.
    for (std::int64_t largest : {std::int64_t{-1}, read.series->largestCount}) {
        const auto points = AllanDeviation({read.series->samples, 1.0, 1.0, largest}, {}, {});
        ASSERT_EQ(points.size(), 18u);
        for (const AllanPoint& p : points) {
            if (p.m != 1 && p.m != 3 && p.m < (1 << 14))
                continue;
            EXPECT_NEAR(p.adev, directAdev(y, p.m), 1e-9 * p.adev) << "m " << p.m << ", largest " << largest;
        }
    }
}

TEST(ChiSquared, QuantilesMatchTheTables)
{
    struct Case {
        double p, dof, quantile;
    };
    const Case cases[] = {
        {0.5, 1, 0.4549364},   {0.95, 1, 3.841459},    {0.025, 1, 0.0009820691}, {0.05, 2, 0.1025866},
        {0.95, 2, 5.991465},   {0.05, 10, 3.940299},   {0.95, 10, 18.30704},     {0.01, 100, 70.06489},
        {0.99, 100, 135.8067}, {0.05, 1000, 927.5944}, {0.95, 1000, 1074.679},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ChiSquaredQuantile(c.p, c.dof), c.quantile, 2e-6 * c.quantile) << c.p << " " << c.dof;
        EXPECT_NEAR(RegularizedGammaP(c.dof / 2, c.quantile / 2), c.p, 1e-6);
    }
}

TEST(ChiSquared, LargeDegreesOfFreedomCentreOnTheirMean)
{
    // Mean dof, deviation sqrt(2 dof): 68.3 % lie within one deviation of the mean.
    for (double dof : {1e4, 1e6, 1e8}) {
        const double sd = std::sqrt(2 * dof);
        EXPECT_NEAR(ChiSquaredQuantile(0.158655, dof), dof - sd, 0.01 * sd) << dof;
        EXPECT_NEAR(ChiSquaredQuantile(0.841345, dof), dof + sd, 0.01 * sd) << dof;
    }
    EXPECT_NEAR(NormalQuantile(0.975), 1.959964, 1e-6);
}

TEST(AllanDeviation, IntervalsWidenAsClustersGetFewer)
{
    double lastWidth = 0;
    for (std::int64_t m : {1, 16, 256, 4096, 32768}) {
        AllanPoint p;
        p.adev = 1.0;
        p.edf = AllanEdf(1 << 26, m, true); // also edf in the millions
        AllanInterval(p, 0.683);
        EXPECT_LT(p.lower, 1.0);
        EXPECT_GT(p.upper, 1.0);
        EXPECT_GT(p.upper - p.lower, lastWidth) << "m " << m;
        lastWidth = p.upper - p.lower;
    }
}

} // namespace
} // namespace gyro::analysis
