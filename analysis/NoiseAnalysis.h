#pragma once
// The whole analysis of one log column, as gyroctl and the Noise Analysis window
// run it: read the column, the Allan deviation with its intervals, the noise terms
// and (on request) the spectrum; and the texts both print.
#include "AllanDeviation.h"
#include "LogReader.h"
#include "NoiseTerms.h"
#include "WelchPsd.h"

#include <QString>
#include <optional>

namespace gyro::analysis {

struct NoiseAnalysisOptions {
    LogReadOptions read;
    TauSpacing spacing = TauSpacing::Octave;
    bool spectrum = true;
};

struct NoiseAnalysis {
    QString path;
    QString column;
    std::int64_t samples = 0;
    double intervalSeconds = 0;
    IntervalSource intervalSource = IntervalSource::Given;
    std::int64_t skippedLines = 0;
    std::int64_t firstSkippedLine = 0;
    std::int64_t repeatedLines = 0;
    double quantum = 0;                       // the step of exact sums, 0 for long-double sums
    std::int64_t gaps = 0, missedSamples = 0; // on the time column's grid
    QString timeColumnProblem;                // why the time column was not trusted
    std::vector<AllanPoint> allan;
    NoiseTerms terms;
    std::optional<PsdResult> psd;
};

struct NoiseAnalysisOutcome {
    std::optional<NoiseAnalysis> analysis;
    QString error; // for the user; empty after a cancel
    bool cancelled = false;
    bool usageProblem = false; // a column that is not there, no sample interval, too many taus
};

NoiseAnalysisOutcome AnalyseLog(const QString& path, const NoiseAnalysisOptions& options,
                                const AnalysisHooks& hooks);

// What the column's series is: samples, interval and where it came from, skipped
// lines, how it was summed. One line.
QString SeriesSummaryText(const NoiseAnalysis& a);

// Tab-separated lines with the system's decimal mark, as the logs write theirs:
// "tau_s  adev  lower  upper  clusters" and a line per cluster size.
QString AllanTableText(const NoiseAnalysis& a);

// Tab-separated: "term  value  unit  value_si  unit_si  tau_s  rule", a line per
// term (a term the data do not reach says so), then the white-noise density.
QString NoiseTermsText(const NoiseAnalysis& a);

// The terms as rows for a table: name, value, unit, SI value, SI unit, tau, rule.
struct NoiseTermRow {
    QString name, value, unit, valueSi, unitSi, tau, rule;
};
std::vector<NoiseTermRow> NoiseTermRows(const NoiseAnalysis& a);

// A number as the tables, the summary and the plots write it: up to 7 significant
// digits, the system's decimal mark (as the logs and every window), no grouping.
QString TableNumber(double value);

} // namespace gyro::analysis
