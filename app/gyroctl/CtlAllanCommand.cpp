#include "CtlAllanCommand.h"

#include "AnalysisPlot.h"
#include "CtlInterrupt.h"
#include "CtlTerminal.h"
#include "DrawingFormats.h"

#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace gyro {

namespace {

constexpr double ProgressIntervalSeconds = 0.25;

} // namespace

std::optional<AllanArguments> ParseAllanArguments(const QStringList& arguments, QString* error)
{
    AllanArguments a;
    a.analysis.spectrum = true; // the white-noise density is one of the noise figures
    auto fail = [error](const QString& message) -> std::optional<AllanArguments> {
        *error = message;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool takesValue = arg == QLatin1String("--column") || arg == QLatin1String("--rate") ||
                                arg == QLatin1String("--taus") || arg == QLatin1String("--plot");
        if (takesValue && i + 1 >= arguments.size())
            return fail(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = takesValue ? arguments[++i] : QString();
        if (arg == QLatin1String("--column")) {
            a.analysis.read.column = value;
        } else if (arg == QLatin1String("--rate")) {
            bool ok = false;
            const double rate = value.toDouble(&ok);
            if (!ok || !(rate > 0) || !std::isfinite(rate))
                return fail(QStringLiteral("--rate needs samples a second above 0, not '%1'").arg(value));
            a.analysis.read.sampleRate = rate;
        } else if (arg == QLatin1String("--taus")) {
            if (value == QLatin1String("octave"))
                a.analysis.spacing = analysis::TauSpacing::Octave;
            else if (value == QLatin1String("decade"))
                a.analysis.spacing = analysis::TauSpacing::Decade;
            else if (value == QLatin1String("all"))
                a.analysis.spacing = analysis::TauSpacing::All;
            else
                return fail(QStringLiteral("--taus needs octave, decade or all, not '%1'").arg(value));
        } else if (arg == QLatin1String("--plot")) {
            const QString suffix = QFileInfo(value).suffix().toLower();
            if (suffix != QLatin1String("png") && suffix != QLatin1String("svg"))
                return fail(
                    QStringLiteral("--plot needs a file name ending in .png or .svg, not '%1'").arg(value));
            if (suffix == QLatin1String("svg") && !SvgDrawingsAvailable)
                return fail(QStringLiteral("--plot: %1").arg(SvgUnavailableText()));
            a.plotPath = value;
        } else if (arg == QLatin1String("--all-lines")) {
            a.analysis.read.freshOnly = false;
        } else if (arg == QLatin1String("--psd")) {
            a.spectrum = true;
        } else if (arg.startsWith(QLatin1String("--")) || !a.file.isEmpty()) {
            return fail(QStringLiteral("allan: unknown option or second file '%1'").arg(arg));
        } else {
            a.file = arg;
        }
    }
    if (a.file.isEmpty())
        return fail(QStringLiteral("allan needs a log file"));
    return a;
}

bool CtlCommandDraws(int argc, char** argv)
{
    bool allan = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "allan") == 0)
            allan = true;
        else if (allan && std::strcmp(argv[i], "--plot") == 0)
            return true;
    }
    return false;
}

int runAllan(CtlContext& c)
{
    QString error;
    const std::optional<AllanArguments> args = ParseAllanArguments(c.options.arguments, &error);
    if (!args) {
        c.err << "gyroctl: " << error << Qt::endl;
        return ExitUsage;
    }
    CatchCtlInterrupt();
    const bool showProgress = StderrIsTerminal();
    Clock& clock = c.g.platform.clock;
    double lastProgress = -ProgressIntervalSeconds;
    analysis::AnalysisHooks hooks;
    hooks.cancelRequested = [] { return CtlInterruptRequested(); };
    if (showProgress) {
        hooks.progress = [&](const char* stage, double fraction) {
            const double now = clock.monotonicSeconds();
            if (now - lastProgress < ProgressIntervalSeconds)
                return;
            lastProgress = now;
            c.err << "\r\033[K" << stage << ": " << static_cast<int>(std::lround(100.0 * fraction)) << " %"
                  << Qt::flush;
        };
    }
    const analysis::NoiseAnalysisOutcome outcome = analysis::AnalyseLog(args->file, args->analysis, hooks);
    if (showProgress)
        c.err << "\r\033[K" << Qt::flush; // the progress line gives way to the result
    if (outcome.cancelled)
        return ExitInterrupted;
    if (!outcome.analysis) {
        c.err << "gyroctl: " << outcome.error << Qt::endl;
        return outcome.usageProblem ? ExitUsage : ExitTransportFailed;
    }
    const analysis::NoiseAnalysis& a = *outcome.analysis;
    c.err << analysis::SeriesSummaryText(a) << Qt::endl;
    c.out << analysis::AllanTableText(a) << '\n' << analysis::NoiseTermsText(a);
    if (args->spectrum && a.psd) {
        c.out << "\nfrequency_hz\tpsd_one_sided\n";
        for (std::size_t k = 0; k < a.psd->frequency.size(); ++k)
            c.out << analysis::TableNumber(a.psd->frequency[k]) << '\t'
                  << analysis::TableNumber(a.psd->density[k]) << '\n';
    }
    c.out << Qt::flush;
    if (args->spectrum && !a.psd)
        c.err << "gyroctl: " << a.samples << " samples are too few for a spectrum (it needs "
              << 2 * analysis::MinPsdSegment << ")" << Qt::endl;
    if (!args->plotPath.isEmpty()) {
        const auto kind = args->spectrum ? analysis::PlotKind::Both : analysis::PlotKind::Allan;
        if (!analysis::SavePlot(args->plotPath, a, kind, &error)) {
            c.err << "gyroctl: " << error << Qt::endl;
            return ExitTransportFailed;
        }
    }
    return ExitOk;
}

} // namespace gyro
