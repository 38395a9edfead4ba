// The log reader fed arbitrary bytes as a log file: the layout, the column and the
// whole read never crash, every sample read is finite, the counted lines add up,
// and a series that reads is analysed with every deviation finite and inside its
// interval. The first byte chooses where the sample interval comes from: a given
// rate, or the file itself (its time column, on or off a time grid, or its
// header's seconds), so those paths are fuzzed too.
#include "AllanDeviation.h"
#include "FuzzState.h"
#include "LogReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

using namespace gyro::analysis;
using gyro::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.csv"));
    if (size == 0)
        return 0;
    const bool rateGiven = (data[0] & 1) != 0;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) // no write buffer to allocate
            return 0;
        file.write(reinterpret_cast<const char*>(data + 1), static_cast<qint64>(size - 1));
    }
    LogReadOptions options;
    options.storage = SampleStorage::Memory; // no temporary files: thousands of runs a second
    if (rateGiven)
        options.sampleRate = 100;
    const LogReadOutcome read = ReadLogSeries(path, options, {});
    if (!read.series) {
        Check(!read.error.isEmpty(), "a failed read says why");
        return 0;
    }
    const LogSeries& s = *read.series;
    auto reader = s.samples.reader(0);
    for (std::int64_t k = 0; k < s.samples.size(); ++k)
        Check(std::isfinite(reader.next()), "every sample is finite");
    Check(s.samples.size() >= 2 && s.skippedLines >= 0 && s.repeatedLines >= 0, "counts add up");
    Check((s.skippedLines > 0) == (s.firstSkippedLine > 0), "the first skipped line is named");
    Check(std::isfinite(s.intervalSeconds) && s.intervalSeconds > 0, "the interval is a time");
    Check(s.missedSamples >= 0 && s.missedSamples <= s.samples.size() &&
              (s.missedSamples > 0) == s.grid.has_value(),
          "missed samples lie on a grid no more than half empty");
    if (s.grid)
        Check(s.grid->size() == s.samples.size() + s.missedSamples, "the grid holds every sample and gap");
    const SampleStore<double>* grid = s.grid ? &*s.grid : nullptr;
    for (const AllanPoint& p : AllanDeviation({s.samples, s.intervalSeconds, s.quantum, -1, grid}, {}, {}))
        Check(std::isfinite(p.adev) && p.adev >= 0 && p.lower <= p.adev && p.adev <= p.upper,
              "a deviation is finite and inside its interval");
    return 0;
}
