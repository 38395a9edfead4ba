#pragma once
// Reads one column of a log file into a sample store, in one streaming pass with
// bounded memory: the layout from the first lines, then every data line. A line
// whose column is not a number (text, a blank, a cut-off line) is skipped and
// counted, never read as a zero.
#include "AnalysisHooks.h"
#include "LogLayout.h"
#include "SampleStore.h"
#include "TimeGrid.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace gyro::analysis {

struct LogReadOptions {
    QString column;                   // a title ("Gyro" when empty) or, without titles, a number from 1
    std::optional<double> sampleRate; // samples a second; overrides what the file says
    // A log read faster than the sensor makes new samples holds each sample on several
    // lines, all but the first with its new-data flag 0: those repeats are left out
    // (and counted), so the series is the sensor's own. False keeps every line.
    bool freshOnly = true;
    // Where the series is kept: a temporary file holds a log of any length in bounded
    // memory; memory suits short logs read many times over.
    SampleStorage storage = SampleStorage::TemporaryFile;
};

enum class IntervalSource { Given, TimeColumn, Header };

struct LogSeries {
    explicit LogSeries(SampleStorage storage = SampleStorage::TemporaryFile) : samples(storage) {}

    SampleStore<double> samples;
    LogLayout layout;
    QString column; // the column's title, or "column N"
    double intervalSeconds = 0;
    IntervalSource intervalSource = IntervalSource::Given;
    std::int64_t skippedLines = 0;
    std::int64_t firstSkippedLine = 0; // its line number in the file, from 1; 0 when none
    std::int64_t repeatedLines = 0;    // lines whose new-data flag said "no new sample", left out
    // The step every value is a whole multiple of (1 for counts, a rate scale of the
    // program for its scaled logs), so that sums can be exact; 0 when there is none.
    double quantum = 0;
    std::int64_t largestCount = 0; // the largest |value / quantum|
    // A time column on the sensor's grid: the slots of missed samples (and the gaps
    // they are in), and the series on that grid when any were missed.
    std::int64_t gaps = 0;
    std::int64_t missedSamples = 0;
    std::optional<SampleStore<double>> grid;
    QString timeColumnProblem; // why the time column was not trusted; empty when it was
};

struct LogReadOutcome {
    std::unique_ptr<LogSeries> series; // null on failure or cancel
    QString error;                     // why not, for the user; empty after a cancel
    bool cancelled = false;
    bool usageProblem = false; // no such column, no sample interval: the caller's choice can fix it
};

LogReadOutcome ReadLogSeries(const QString& path, const LogReadOptions& options, const AnalysisHooks& hooks);

// The steps a log value may be a multiple of: whole counts and the three rate scales.
inline constexpr double LogQuanta[] = {1.0, 0.07326, 0.03663, 0.018315};

} // namespace gyro::analysis
