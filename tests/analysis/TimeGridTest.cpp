// A sensor-paced log with missed samples: the interval is the sensor's period from
// the whole time column, a missed sample is an empty slot of its grid, and the
// Allan deviation on that grid matches a direct computation of its definition.
// Time columns that run backwards or hold absurd values are not trusted.
#include "AllanDeviation.h"
#include "LogReader.h"
#include "NoiseAnalysis.h"
#include "SeriesFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace gyro::analysis {
namespace {

using test::TextFile;

// A log of the slots not in `missed`, each line "n,time,value," with the time as
// `timeDigits` significant digits (0: six decimals, as the sensor-paced run writes).
QByteArray pacedLog(const std::vector<double>& slotValues, const std::set<std::size_t>& missed, double period,
                    int timeDigits = 0)
{
    QByteArray text = "Sample #,Time(sec),Gyro,\r\n";
    int line = 0;
    for (std::size_t k = 0; k < slotValues.size(); ++k) {
        if (missed.count(k))
            continue;
        const double t = period * static_cast<double>(k);
        text += QByteArray::number(++line) + ',' +
                (timeDigits == 0 ? QByteArray::number(t, 'f', 6) : QByteArray::number(t, 'g', timeDigits)) +
                ',' + QByteArray::number(slotValues[k], 'g', 17) + ",\r\n";
    }
    return text;
}

LogReadOutcome readLog(const QByteArray& text)
{
    TextFile file(text);
    return ReadLogSeries(file.path(), {}, {});
}

std::vector<AllanPoint> allanOf(const LogSeries& s, TauSpacing spacing)
{
    const SampleStore<double>* grid = s.grid ? &*s.grid : nullptr;
    return AllanDeviation({s.samples, s.intervalSeconds, s.quantum, s.largestCount, grid},
                          {spacing, true, 0.683}, {});
}

// The definition, slot by slot: two adjacent clusters of m slots from each start,
// each cluster's mean over its samples, a term when both hold at least ceil(m/2).
struct Reference {
    double adev;
    std::int64_t terms;
};
Reference referenceAdev(const std::vector<double>& values, const std::set<std::size_t>& missed, std::size_t m)
{
    double sum = 0;
    std::int64_t terms = 0;
    for (std::size_t k = 0; k + 2 * m <= values.size(); ++k) {
        double mean[2] = {0, 0};
        std::size_t count[2] = {0, 0};
        for (std::size_t c = 0; c < 2; ++c) {
            for (std::size_t j = k + c * m; j < k + (c + 1) * m; ++j)
                if (!missed.count(j)) {
                    mean[c] += values[j];
                    ++count[c];
                }
            mean[c] /= static_cast<double>(count[c]);
        }
        if (2 * count[0] < m || 2 * count[1] < m)
            continue;
        sum += (mean[1] - mean[0]) * (mean[1] - mean[0]);
        ++terms;
    }
    return {terms > 0 ? std::sqrt(sum / (2.0 * static_cast<double>(terms))) : 0.0, terms};
}

TEST(TimeGrid, HandWorkedGapOfOneSlot)
{
    // Slots 0..4 at 1 s with slot 2 missed: 1, 3, -, 5, 9.
    // m = 1: terms (3-1)^2 = 4 and (9-5)^2 = 16 (the two touching slot 2 are empty):
    //        AVAR = 20 / (2 * 2) = 5.
    // m = 2: k = 0: means 2 (1, 3) and 5 (-, 5): 9; k = 1: means 3 (3, -) and 7 (5, 9): 16:
    //        AVAR = 25 / (2 * 2) = 6.25, ADEV 2.5.
    const auto read = readLog("Sample #,Time(sec),Gyro,\r\n1,0,1,\r\n2,1,3,\r\n3,3,5,\r\n4,4,9,\r\n");
    ASSERT_TRUE(read.series) << read.error.toStdString();
    EXPECT_EQ(read.series->intervalSeconds, 1.0);
    EXPECT_EQ(read.series->missedSamples, 1);
    EXPECT_EQ(read.series->gaps, 1);
    const auto points = allanOf(*read.series, TauSpacing::Octave);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[0].adev, std::sqrt(5.0));
    EXPECT_EQ(points[0].terms, 2);
    EXPECT_EQ(points[0].clusters, 2); // the terms used
    EXPECT_DOUBLE_EQ(points[1].adev, 2.5);
    EXPECT_DOUBLE_EQ(points[1].tau, 2.0);
}

TEST(TimeGrid, DeviationOnTheGridMatchesTheDefinition)
{
    const double period = 1.0 / 2048;
    struct Case {
        const char* name;
        std::size_t slotCount;
        std::set<std::size_t> missed;
        TauSpacing spacing;
        bool everyTauKept; // else a tau whose clusters are never half full has no point
    };
    std::set<std::size_t> everyHundredFifty, burst;
    for (std::size_t k = 75; k < 6000; k += 150)
        everyHundredFifty.insert(k);
    for (std::size_t k = 0; k < 700; ++k)
        burst.insert(300 + k / 7 * 13 + k % 7); // runs of 7 missed, 6 kept
    const Case cases[] = {
        {"single slots", 200, {3, 50, 51, 120, 198}, TauSpacing::All, true},
        {"a gap every 150 samples", 6000, everyHundredFifty, TauSpacing::Octave, true},
        {"long runs missed", 2000, burst, TauSpacing::Decade, false},
    };
    for (const Case& c : cases) {
        const std::vector<double> values = test::WhiteNoise(c.slotCount, 0.05, 7);
        const auto read = readLog(pacedLog(values, c.missed, period));
        ASSERT_TRUE(read.series) << c.name << ": " << read.error.toStdString();
        const LogSeries& s = *read.series;
        // Not the mean step: the period, as finely as the microsecond times allow.
        EXPECT_NEAR(s.intervalSeconds * 2048, 1.0, 1e-6) << c.name;
        if (c.slotCount >= 2000) { // a second of times or more: the rate to all seven digits
            EXPECT_EQ(TableNumber(1.0 / s.intervalSeconds), QStringLiteral("2048")) << c.name;
        }
        EXPECT_EQ(s.missedSamples, static_cast<std::int64_t>(c.missed.size())) << c.name;
        ASSERT_TRUE(s.grid) << c.name;
        EXPECT_EQ(s.grid->size(),
                  static_cast<std::int64_t>(c.slotCount - (c.missed.count(c.slotCount - 1) ? 1 : 0)));
        const auto points = allanOf(s, c.spacing);
        ASSERT_FALSE(points.empty()) << c.name;
        for (const AllanPoint& p : points) {
            const Reference r = referenceAdev(values, c.missed, static_cast<std::size_t>(p.m));
            EXPECT_EQ(p.terms, r.terms) << c.name << " m " << p.m;
            EXPECT_NEAR(p.adev, r.adev, 1e-12 * r.adev) << c.name << " m " << p.m;
            EXPECT_NEAR(p.tau, static_cast<double>(p.m) / 2048, 1e-6 * p.tau) << c.name;
        }
        // Half-full clusters keep the long taus that a rule of "no term touches a gap" loses.
        if (c.everyTauKept) {
            EXPECT_EQ(points.size(), ClusterSizes(s.grid->size(), c.spacing).size()) << c.name;
        }
    }
}

TEST(TimeGrid, WithoutGapsTheDeviationIsTheOverlappingOneOfTheSeries)
{
    const std::vector<double> values = test::WhiteNoise(3000, 0.05, 3);
    const auto timed = readLog(pacedLog(values, {}, 1.0 / 2048, 7)); // seven-digit times
    ASSERT_TRUE(timed.series);
    EXPECT_FALSE(timed.series->grid);
    EXPECT_EQ(timed.series->missedSamples, 0);
    TextFile plain(test::OneNumberALine(values));
    LogReadOptions given;
    given.sampleRate = 2048;
    const auto rated = ReadLogSeries(plain.path(), given, {});
    ASSERT_TRUE(rated.series);
    const auto a = allanOf(*timed.series, TauSpacing::Octave), b = allanOf(*rated.series, TauSpacing::Octave);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].adev, b[i].adev);
        EXPECT_EQ(a[i].clusters, b[i].clusters);
        EXPECT_EQ(TableNumber(a[i].tau), TableNumber(b[i].tau)); // 1 s reads 1, not 0.9999999
    }
}

TEST(TimeGrid, TimeColumnsThatAreNotTrusted)
{
    const QByteArray header =
        "File Name,D_1.csv\r\nDate,x\r\nTime,x\r\nBegin Seconds,100\r\nEnd Seconds,102\r\n \r\n";
    struct Case {
        const char* name;
        QByteArray lines;
        const char* problem;
    };
    const Case cases[] = {
        {"backwards", "1,0,1,\r\n2,0.5,2,\r\n3,0.25,3,\r\n4,0.75,4,\r\n", "backwards"},
        {"an absurd last time", "1,0,1,\r\n2,0.5,2,\r\n3,1,3,\r\n4,1e308,4,\r\n", "over 1e+308 s"},
        {"one time for all", "1,3,1,\r\n2,3,2,\r\n3,3,3,\r\n4,3,4,\r\n", "spans 0 s"},
    };
    for (const Case& c : cases) {
        const QByteArray titles = "Sample #,Time(sec),Gyro,\r\n";
        const auto bare = readLog(titles + c.lines);
        EXPECT_FALSE(bare.series) << c.name;
        EXPECT_TRUE(bare.usageProblem) << c.name;
        EXPECT_TRUE(bare.error.contains(QLatin1String(c.problem))) << bare.error.toStdString();
        EXPECT_TRUE(bare.error.contains(QLatin1String("give the sample rate"))) << bare.error.toStdString();

        const auto headed = readLog(header + titles + c.lines); // falls back to Begin and End Seconds
        ASSERT_TRUE(headed.series) << c.name;
        EXPECT_EQ(headed.series->intervalSource, IntervalSource::Header) << c.name;
        EXPECT_DOUBLE_EQ(headed.series->intervalSeconds, 0.5) << c.name;
        EXPECT_TRUE(headed.series->timeColumnProblem.contains(QLatin1String(c.problem))) << c.name;
    }
}

TEST(TimeGrid, StepsOfNoWholePeriodKeepTheMeanStep)
{
    // A log paced by the computer: steps of 0.2 and 0.3 s, no grid, nothing missed.
    const auto read = readLog("Sample #,Time(sec),Gyro,\r\n1,0,1,\r\n2,0.2,2,\r\n3,0.5,3,\r\n4,0.8,4,\r\n");
    ASSERT_TRUE(read.series);
    EXPECT_DOUBLE_EQ(read.series->intervalSeconds, 0.8 / 3);
    EXPECT_EQ(read.series->missedSamples, 0);
    EXPECT_FALSE(read.series->grid);
}

} // namespace
} // namespace gyro::analysis
