#include "NoiseAnalysis.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <numbers>

namespace gyro::analysis {

NoiseAnalysisOutcome AnalyseLog(const QString& path, const NoiseAnalysisOptions& options,
                                const AnalysisHooks& hooks)
{
    NoiseAnalysisOutcome outcome;
    LogReadOutcome read = ReadLogSeries(path, options.read, hooks);
    if (!read.series) {
        outcome.error = read.error;
        outcome.cancelled = read.cancelled;
        outcome.usageProblem = read.usageProblem;
        return outcome;
    }
    const LogSeries& s = *read.series;
    NoiseAnalysis a;
    a.path = path;
    a.column = s.column;
    a.samples = s.samples.size();
    a.intervalSeconds = s.intervalSeconds;
    a.intervalSource = s.intervalSource;
    a.skippedLines = s.skippedLines;
    a.firstSkippedLine = s.firstSkippedLine;
    a.repeatedLines = s.repeatedLines;
    a.quantum = s.quantum;
    a.gaps = s.gaps;
    a.missedSamples = s.missedSamples;
    a.timeColumnProblem = s.timeColumnProblem;
    if (options.spacing == TauSpacing::All && a.samples > MaxSamplesForAllTaus) {
        outcome.error = QStringLiteral("every tau of %1 samples would take one pass each: --taus all is for "
                                       "logs of up to %2 samples; use octave or decade")
                            .arg(a.samples)
                            .arg(MaxSamplesForAllTaus);
        outcome.usageProblem = true;
        return outcome;
    }
    const SampleStore<double>* grid = s.grid ? &*s.grid : nullptr;
    a.allan = AllanDeviation({s.samples, s.intervalSeconds, s.quantum, s.largestCount, grid},
                             {options.spacing, true, 0.683}, hooks);
    if (a.allan.empty()) {
        outcome.cancelled = hooks.cancelled();
        if (outcome.cancelled)
            return outcome;
        const bool readBack = grid ? grid->readFailed() : s.samples.readFailed();
        outcome.error = readBack || !grid
                            ? QStringLiteral("the temporary copy of the series could not be read back")
                            : QStringLiteral("%1 misses so many samples that no two adjacent clusters hold "
                                             "half their samples")
                                  .arg(path);
        return outcome;
    }
    a.terms = FindNoiseTerms(a.allan);
    if (options.spectrum) {
        PsdResult psd = WelchPsd(s.samples, 1.0 / s.intervalSeconds, hooks);
        if (hooks.cancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        if (psd.segments > 0) {
            // White noise shows in the Allan deviation at tau mostly through frequencies
            // near 1 / (2 tau): where the -1/2 line was read, the spectrum is white too
            // (below the sensor's own filter, above the slow terms).
            if (a.terms.N) {
                const double centre = 0.5 / a.terms.N->tau;
                SetWhiteNoiseBand(psd, centre / std::sqrt(10.0), centre * std::sqrt(10.0));
            }
            a.psd = std::move(psd);
        }
    }
    outcome.analysis = std::move(a);
    return outcome;
}

QString TableNumber(double value)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 7);
}

QString SeriesSummaryText(const NoiseAnalysis& a)
{
    QString source;
    switch (a.intervalSource) {
    case IntervalSource::Given:
        source = QStringLiteral("given");
        break;
    case IntervalSource::TimeColumn:
        source = QStringLiteral("from the time column");
        break;
    case IntervalSource::Header:
        source = QStringLiteral("from Begin and End Seconds");
        break;
    }
    QString text = QStringLiteral("%1 samples of %2, %3 samples a second (%4)")
                       .arg(a.samples)
                       .arg(a.column, TableNumber(1.0 / a.intervalSeconds), source);
    if (a.skippedLines > 0)
        text += QStringLiteral(", %1 line(s) that are not data skipped (the first: line %2)")
                    .arg(a.skippedLines)
                    .arg(a.firstSkippedLine);
    if (a.repeatedLines > 0)
        text += QStringLiteral(", %1 line(s) without a new sample (new-data flag 0) left out")
                    .arg(a.repeatedLines);
    if (a.missedSamples > 0)
        text += QStringLiteral(", %1 sample(s) missed in %2 gap(s) of the time column (the deviation is "
                               "taken on its time grid)")
                    .arg(a.missedSamples)
                    .arg(a.gaps);
    if (!a.timeColumnProblem.isEmpty())
        text += QStringLiteral(", time column not trusted: %1").arg(a.timeColumnProblem);
    // The deviation on a grid with empty slots takes cluster means: summed in long double.
    text += a.quantum > 0 && a.missedSamples == 0
                ? QStringLiteral(", summed exactly in steps of %1").arg(TableNumber(a.quantum))
                : QStringLiteral(", summed in long double");
    return text;
}

QString AllanTableText(const NoiseAnalysis& a)
{
    QString text = QStringLiteral("tau_s\tadev\tlower\tupper\tclusters\n");
    for (const AllanPoint& p : a.allan)
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                    .arg(TableNumber(p.tau), TableNumber(p.adev), TableNumber(p.lower), TableNumber(p.upper))
                    .arg(p.clusters);
    return text;
}

std::vector<NoiseTermRow> NoiseTermRows(const NoiseAnalysis& a)
{
    auto row = [](const char* name, const std::optional<NoiseTerm>& term, TermUnits (*units)(double),
                  const char* unit, const char* unitSi, const char* rule) {
        NoiseTermRow r{QLatin1String(name),   QStringLiteral("-"), QLatin1String(unit), QStringLiteral("-"),
                       QLatin1String(unitSi), QStringLiteral("-"), QLatin1String(rule)};
        if (!term) {
            r.rule += QStringLiteral("; not reached by the data");
            return r;
        }
        const TermUnits u = units(term->value);
        r.value = TableNumber(u.perHour);
        r.valueSi = TableNumber(u.si);
        r.tau = TableNumber(term->tau);
        return r;
    };
    std::vector<NoiseTermRow> rows{
        row("N", a.terms.N, AngleRandomWalkUnits, "deg/sqrt(h)", "rad/sqrt(s)",
            "angle random walk: slope -1/2 line read at tau = 1 s"),
        row("B", a.terms.B, BiasInstabilityUnits, "deg/h", "rad/s",
            "bias instability: flat minimum / 0.664 (sqrt(2 ln 2 / pi)), tau of the minimum"),
        row("K", a.terms.K, RateRandomWalkUnits, "deg/h/sqrt(h)", "rad/s/sqrt(s)",
            "rate random walk: slope +1/2 line read at tau = 3 s"),
    };
    if (a.psd) {
        const double d = a.psd->whiteDensity;
        rows.push_back({QStringLiteral("PSD"), TableNumber(d), QStringLiteral("(deg/s)/sqrt(Hz)"),
                        TableNumber(d * std::numbers::pi / 180.0), QStringLiteral("(rad/s)/sqrt(Hz)"),
                        QStringLiteral("-"),
                        QStringLiteral("white-noise density, one-sided PSD (Welch, Hann, 50 % overlap), "
                                       "mean from %1 to %2 Hz (a decade around 1 / (2 tau) of N, else "
                                       "fs/20 to fs/4); two-sided: divide by sqrt(2)")
                            .arg(TableNumber(a.psd->bandLow), TableNumber(a.psd->bandHigh))});
    }
    return rows;
}

QString NoiseTermsText(const NoiseAnalysis& a)
{
    QString text = QStringLiteral("term\tvalue\tunit\tvalue_si\tunit_si\ttau_s\trule\n");
    for (const NoiseTermRow& r : NoiseTermRows(a))
        text +=
            QStringList{r.name, r.value, r.unit, r.valueSi, r.unitSi, r.tau, r.rule}.join(QLatin1Char('\t')) +
            QLatin1Char('\n');
    return text;
}

} // namespace gyro::analysis
