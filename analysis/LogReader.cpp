#include "LogReader.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace gyro::analysis {

namespace {

constexpr qint64 ChunkBytes = 1 << 20;
constexpr qint64 HeadBytes = 16 * 1024;

// Which of LogQuanta every value so far is a multiple of. The program writes a
// scaled value with 7 significant digits, so a multiple is off by at most half a
// unit of the 7th digit (5e-7 relative) plus the single-precision rounding.
class QuantumCheck {
public:
    void add(double v)
    {
        for (std::size_t i = 0; i < fits_.size(); ++i) {
            if (!fits_[i])
                continue;
            const double count = std::nearbyint(v * Inverse[i]);
            const double off = std::abs(v - count * LogQuanta[i]);
            const bool fits = i == 0 ? off == 0 : off <= 1e-6 * std::abs(v);
            if (!fits || std::abs(count) > MaxCount) {
                fits_[i] = false;
                continue;
            }
            largest_[i] = std::max(largest_[i], static_cast<std::int64_t>(std::abs(count)));
        }
    }
    // The largest step that fits every value, 0 when none does.
    double quantum(std::int64_t* largestCount) const
    {
        double best = 0;
        for (std::size_t i = 0; i < fits_.size(); ++i)
            if (fits_[i] && LogQuanta[i] > best) {
                best = LogQuanta[i];
                *largestCount = largest_[i];
            }
        return best;
    }

    // Counts beyond this are summed as floating point: the exact sums' 128-bit
    // squares stay far from overflow for any series length the store can hold.
    static constexpr double MaxCount = 1 << 20;

private:
    static constexpr double Inverse[] = {1.0 / LogQuanta[0], 1.0 / LogQuanta[1], 1.0 / LogQuanta[2],
                                         1.0 / LogQuanta[3]};
    std::array<bool, std::size(LogQuanta)> fits_{true, true, true, true};
    std::array<std::int64_t, std::size(LogQuanta)> largest_{};
};

// The fields 0 .. count - 1 of a line in one walk, without copying; those the line
// lacks stay empty.
void fieldsOf(std::string_view line, char separator, std::string_view* fields, int count)
{
    if (separator == 0) {
        fields[0] = line;
        return;
    }
    const char* p = line.data();
    const char* end = p + line.size();
    for (int i = 0; i < count; ++i) {
        const auto* at =
            static_cast<const char*>(std::memchr(p, separator, static_cast<std::size_t>(end - p)));
        fields[i] = std::string_view(p, static_cast<std::size_t>((at ? at : end) - p));
        if (!at) {
            for (int rest = i + 1; rest < count; ++rest)
                fields[rest] = {};
            return;
        }
        p = at + 1;
    }
}

// The interval (and the grid, when samples were missed) from the time column;
// false when the column is not to be trusted (the reason is kept in the series).
bool takeTimeColumn(LogSeries& series, const SampleStore<double>& times)
{
    const TimeColumnFacts facts = ExamineTimeColumn(times);
    switch (facts.kind) {
    case TimeColumnKind::Untrusted:
        series.timeColumnProblem = facts.problem;
        return false;
    case TimeColumnKind::Irregular:
        series.intervalSeconds = facts.intervalSeconds;
        return true;
    case TimeColumnKind::Grid:
        series.intervalSeconds = facts.intervalSeconds;
        series.gaps = facts.gaps;
        series.missedSamples = facts.missed;
        if (facts.missed > 0)
            series.grid = SamplesOnGrid(series.samples, times, facts);
        return true;
    }
    return false;
}

} // namespace

LogReadOutcome ReadLogSeries(const QString& path, const LogReadOptions& options, const AnalysisHooks& hooks)
{
    LogReadOutcome outcome;
    QFile file(path);
    // Unbuffered: the reading goes through the chunk buffer below, a second buffer
    // would only copy it.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        outcome.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return outcome;
    }
    const qint64 total = std::max<qint64>(1, file.size());
    // Room for the whole of a short file (and at least its head); a line that fills
    // it grows it to a full chunk before it counts as overlong.
    std::vector<char> buffer(static_cast<std::size_t>(std::clamp(total + 1, HeadBytes, ChunkBytes)));
    const qint64 headRead = file.peek(buffer.data(), HeadBytes);
    const std::string_view head(buffer.data(), static_cast<std::size_t>(std::max<qint64>(0, headRead)));

    auto series = std::make_unique<LogSeries>(options.storage);
    if (!series->samples.failure().empty()) {
        outcome.error = QString::fromStdString(series->samples.failure());
        return outcome;
    }
    series->layout = DetectLogLayout(head);
    const LogLayout& layout = series->layout;
    const std::string_view firstData = FirstDataLine(head, layout);
    const std::vector<std::string_view> firstFields = SplitLogFields(firstData, layout.separator);
    if (std::none_of(firstFields.begin(), firstFields.end(),
                     [&](std::string_view f) { return ParseLogNumber(f, layout.decimalMark).has_value(); })) {
        outcome.error =
            QStringLiteral("%1 holds no samples of a log (no line of numbers where its data would "
                           "begin): an analysis needs at least 2")
                .arg(path);
        return outcome;
    }
    const int fields = static_cast<int>(firstFields.size());
    const int column = FindLogColumn(layout, options.column, std::max(1, fields), &outcome.error);
    if (column < 0) {
        outcome.usageProblem = true;
        return outcome;
    }
    series->column =
        layout.titles.isEmpty() ? QStringLiteral("column %1").arg(column + 1) : layout.titles[column];
    const int timeColumn = options.sampleRate ? -1 : layout.timeColumn;
    // The value's new-data flag stands just before it ("GyroND", "Gyro"; "PvND", "Power V").
    const bool flagged = column > 0 && layout.titles.size() > column &&
                         layout.titles[column - 1].endsWith(QLatin1String("ND"));
    const int flagColumn = options.freshOnly && flagged ? column - 1 : -1;

    QuantumCheck quantum;
    const int fieldCount = std::max({column, timeColumn, flagColumn}) + 1;
    std::vector<std::string_view> lineFields(static_cast<std::size_t>(fieldCount));
    std::int64_t lineNumber = 0;
    SampleStore<double> times(options.storage);
    auto takeLine = [&](std::string_view line) {
        ++lineNumber;
        if (lineNumber <= layout.linesBeforeData)
            return;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        fieldsOf(line, layout.separator, lineFields.data(), fieldCount);
        const auto value = ParseLogNumber(lineFields[static_cast<std::size_t>(column)], layout.decimalMark);
        std::optional<double> time;
        if (timeColumn >= 0)
            time = ParseLogNumber(lineFields[static_cast<std::size_t>(timeColumn)], layout.decimalMark);
        if (!value || (timeColumn >= 0 && !time)) {
            if (series->skippedLines++ == 0)
                series->firstSkippedLine = lineNumber;
            return;
        }
        if (flagColumn >= 0) {
            const std::string_view flag = lineFields[static_cast<std::size_t>(flagColumn)];
            if (flag == "0") {
                ++series->repeatedLines;
                return;
            }
        }
        if (time)
            times.append(*time);
        quantum.add(*value);
        series->samples.append(*value);
    };

    std::size_t kept = 0;  // bytes of a line begun in the previous chunk
    bool overlong = false; // inside a line longer than the buffer
    qint64 done = 0;
    for (;;) {
        const qint64 got = file.read(buffer.data() + kept, static_cast<qint64>(buffer.size() - kept));
        if (got < 0) {
            outcome.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
            return outcome;
        }
        if (got == 0)
            break;
        done += got;
        const std::string_view chunk(buffer.data(), kept + static_cast<std::size_t>(got));
        std::size_t start = 0;
        for (std::size_t end; (end = chunk.find('\n', start)) != std::string_view::npos; start = end + 1) {
            if (overlong)
                overlong = false; // the end of the overlong line, already counted
            else
                takeLine(chunk.substr(start, end - start));
        }
        kept = chunk.size() - start;
        if (kept == buffer.size() && buffer.size() < static_cast<std::size_t>(ChunkBytes)) {
            buffer.resize(static_cast<std::size_t>(ChunkBytes)); // the file grew while being read
            continue;
        }
        if (kept == buffer.size()) { // a "line" of a megabyte is no data line: one skipped line
            if (!overlong)
                takeLine(std::string_view());
            overlong = true;
            kept = 0;
        }
        std::memmove(buffer.data(), buffer.data() + start, kept);
        hooks.report("reading", static_cast<double>(done) / static_cast<double>(total));
        if (hooks.cancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    if (kept > 0 && !overlong)
        takeLine(std::string_view(buffer.data(), kept));
    for (SampleStore<double>* store : {&series->samples, &times})
        if (!store->flush()) {
            outcome.error = QString::fromStdString(store->failure());
            return outcome;
        }
    const std::int64_t n = series->samples.size();
    if (n < 2) {
        outcome.error = QStringLiteral("%1 holds %2 sample(s) of %3: an analysis needs at least 2")
                            .arg(path)
                            .arg(n)
                            .arg(series->column);
        if (series->repeatedLines > 0)
            outcome.error +=
                QStringLiteral(" (%1 line(s) with new-data flag 0 repeat an earlier sample and were "
                               "left out)")
                    .arg(series->repeatedLines);
        return outcome;
    }

    if (options.sampleRate) {
        series->intervalSeconds = 1.0 / *options.sampleRate;
        series->intervalSource = IntervalSource::Given;
    } else if (times.size() >= 2 && takeTimeColumn(*series, times)) {
        series->intervalSource = IntervalSource::TimeColumn;
    } else if (layout.beginSeconds && layout.endSeconds) {
        double span = *layout.endSeconds - *layout.beginSeconds;
        if (span < 0)
            span += 86400.0; // the file's sampling passed midnight
        series->intervalSeconds = span / static_cast<double>(n);
        series->intervalSource = IntervalSource::Header;
    }
    if (!(series->intervalSeconds > 0) || !std::isfinite(series->intervalSeconds)) {
        outcome.error = series->timeColumnProblem.isEmpty()
                            ? QStringLiteral("%1 states no sample interval (no time column, no Begin and "
                                             "End Seconds): give the sample rate")
                                  .arg(path)
                            : QStringLiteral("%1: %2, so it is not trusted, and the file states no other "
                                             "sample interval: give the sample rate")
                                  .arg(path, series->timeColumnProblem);
        outcome.usageProblem = true;
        return outcome;
    }
    if (series->grid && !series->grid->failure().empty()) {
        outcome.error = QString::fromStdString(series->grid->failure());
        return outcome;
    }
    series->quantum = quantum.quantum(&series->largestCount);
    outcome.series = std::move(series);
    return outcome;
}

} // namespace gyro::analysis
