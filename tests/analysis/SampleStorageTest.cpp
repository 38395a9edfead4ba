// A log read into memory and into a temporary file gives the same series, the same
// grid and the same Allan deviation, to the last bit: long enough that file readers
// refill many times and the long cluster sizes start readers mid-series.
#include "AllanDeviation.h"
#include "LogReader.h"
#include "SeriesFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>

namespace gyro::analysis {
namespace {

using test::TextFile;

// Every element, NaN slots included, compared by their bits.
std::vector<std::uint64_t> bitsOf(const SampleStore<double>& store)
{
    std::vector<std::uint64_t> bits;
    auto reader = store.reader(0);
    for (std::int64_t k = 0; k < store.size(); ++k) {
        const double v = reader.next();
        std::uint64_t b = 0;
        std::memcpy(&b, &v, sizeof b);
        bits.push_back(b);
    }
    return bits;
}

// "Sample #,Time(sec),Gyro," lines of whole counts, every `missEvery`th sample missed (0: none).
QByteArray pacedCounts(std::size_t count, std::size_t missEvery)
{
    const std::vector<double> noise = test::WhiteNoise(count, 40.0, 5);
    QByteArray text = "Sample #,Time(sec),Gyro,\r\n";
    for (std::size_t k = 0; k < count; ++k) {
        if (missEvery > 0 && k % missEvery == missEvery - 1)
            continue;
        text += QByteArray::number(static_cast<qulonglong>(k + 1)) + ',' +
                QByteArray::number(0.002 * static_cast<double>(k), 'f', 6) + ',' +
                QByteArray::number(std::lround(noise[k])) + ",\r\n";
    }
    return text;
}

std::vector<AllanPoint> allanOf(const LogSeries& s, bool overlapping)
{
    const SampleStore<double>* grid = s.grid ? &*s.grid : nullptr;
    return AllanDeviation({s.samples, s.intervalSeconds, s.quantum, s.largestCount, grid},
                          {TauSpacing::Octave, overlapping, 0.683}, {});
}

TEST(SampleStorage, MemoryAndTemporaryFileGiveTheSameSeriesAndDeviation)
{
    struct Case {
        const char* name;
        QByteArray text;
        std::optional<double> rate;
    };
    const Case cases[] = {
        {"float values, given rate", test::OneNumberALine(test::WhiteNoise(70000, 0.01, 3)), 100.0},
        {"counts on the time column's grid", pacedCounts(70000, 0), {}},
        {"counts with missed samples", pacedCounts(40000, 97), {}},
    };
    for (const Case& c : cases) {
        TextFile file(c.text);
        std::unique_ptr<LogSeries> series[2];
        for (const SampleStorage storage : {SampleStorage::TemporaryFile, SampleStorage::Memory}) {
            LogReadOptions options;
            options.sampleRate = c.rate;
            options.storage = storage;
            LogReadOutcome read = ReadLogSeries(file.path(), options, {});
            ASSERT_TRUE(read.series) << c.name << ": " << read.error.toStdString();
            EXPECT_EQ(read.series->samples.storage(), storage) << c.name;
            series[storage == SampleStorage::Memory] = std::move(read.series);
        }
        const LogSeries& onFile = *series[0];
        const LogSeries& inMemory = *series[1];
        EXPECT_EQ(bitsOf(onFile.samples), bitsOf(inMemory.samples)) << c.name;
        EXPECT_EQ(onFile.intervalSeconds, inMemory.intervalSeconds) << c.name;
        EXPECT_EQ(onFile.quantum, inMemory.quantum) << c.name;
        EXPECT_EQ(onFile.missedSamples, inMemory.missedSamples) << c.name;
        ASSERT_EQ(onFile.grid.has_value(), inMemory.grid.has_value()) << c.name;
        if (onFile.grid) {
            EXPECT_EQ(inMemory.grid->storage(), SampleStorage::Memory) << c.name;
            EXPECT_EQ(bitsOf(*onFile.grid), bitsOf(*inMemory.grid)) << c.name;
        }
        for (const bool overlapping : {true, false}) {
            const std::vector<AllanPoint> a = allanOf(onFile, overlapping);
            const std::vector<AllanPoint> b = allanOf(inMemory, overlapping);
            ASSERT_FALSE(a.empty()) << c.name;
            ASSERT_EQ(a.size(), b.size()) << c.name;
            for (std::size_t i = 0; i < a.size(); ++i) {
                EXPECT_EQ(a[i].m, b[i].m) << c.name;
                EXPECT_EQ(a[i].terms, b[i].terms) << c.name << " m " << a[i].m;
                EXPECT_EQ(a[i].adev, b[i].adev) << c.name << " m " << a[i].m;
                EXPECT_EQ(a[i].upper, b[i].upper) << c.name << " m " << a[i].m;
            }
        }
    }
}

} // namespace
} // namespace gyro::analysis
