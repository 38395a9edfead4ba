// The log reader fed arbitrary bytes as a log file: the layout, the column and the
// whole read never crash, every sample read is finite, the counted lines add up,
// and a series that reads is analysed with every deviation finite and inside its
// interval.
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
    const QString path = dir.filePath(QStringLiteral("fuzz.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    LogReadOptions options;
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
    for (const AllanPoint& p : AllanDeviation({s.samples, s.intervalSeconds, s.quantum}, {}, {}))
        Check(std::isfinite(p.adev) && p.adev >= 0 && p.lower <= p.adev && p.adev <= p.upper,
              "a deviation is finite and inside its interval");
    return 0;
}
