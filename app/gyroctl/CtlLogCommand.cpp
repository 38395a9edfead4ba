#include "CtlLogCommand.h"

#include "CtlConfigCommands.h"
#include "CtlInterrupt.h"
#include "CtlTerminal.h"
#include "DatalogFormat.h"
#include "DatalogRun.h"
#include "SensorPacedSampling.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <cstdio>

namespace gyro {

namespace {

constexpr double ProgressIntervalSeconds = 0.25;

// A whole number in lower..upper, or nothing.
std::optional<std::int64_t> wholeNumber(const QString& text, std::int64_t lower, std::int64_t upper)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < lower || value > upper)
        return std::nullopt;
    return value;
}

// The column selection from "supply,gyro,...", or nothing when a name is unknown or none is given.
std::optional<std::array<bool, 5>> columnSelection(const QString& list)
{
    std::array<bool, 5> selected{};
    for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool known = false;
        for (std::size_t k = 0; k < DatalogColumns.size(); ++k) {
            if (name.trimmed() == QLatin1String(DatalogColumns[k].shortName)) {
                selected[k] = true;
                known = true;
            }
        }
        if (!known)
            return std::nullopt;
    }
    if (std::none_of(selected.begin(), selected.end(), [](bool on) { return on; }))
        return std::nullopt;
    return selected;
}

} // namespace

std::optional<LogRequest> ParseLogArguments(const QStringList& arguments, QString* error)
{
    LogRequest request;
    DatalogSettings& s = request.settings;
    s.Folder = QStringLiteral(".");
    auto fail = [error](const QString& message) -> std::optional<LogRequest> {
        *error = message;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool takesValue = arg == QLatin1String("--samples") || arg == QLatin1String("--files") ||
                                arg == QLatin1String("--delay") || arg == QLatin1String("--name") ||
                                arg == QLatin1String("--dir") || arg == QLatin1String("--select") ||
                                arg == QLatin1String("--rate");
        if (takesValue && i + 1 >= arguments.size())
            return fail(QStringLiteral("%1 needs a value").arg(arg));
        const QString value = takesValue ? arguments[++i] : QString();
        if (arg == QLatin1String("--samples")) {
            const auto n = wholeNumber(value, 1, DatalogLimits::MaxSamplesPerFile);
            if (!n)
                return fail(QStringLiteral("--samples needs a whole number from 1 to %1, not '%2'")
                                .arg(DatalogLimits::MaxSamplesPerFile)
                                .arg(value));
            s.SamplesPerFile = *n;
        } else if (arg == QLatin1String("--files")) {
            const auto n = wholeNumber(value, 1, DatalogLimits::MaxFilesPerSession);
            if (!n)
                return fail(QStringLiteral("--files needs a whole number from 1 to %1, not '%2'")
                                .arg(DatalogLimits::MaxFilesPerSession)
                                .arg(value));
            s.FilesPerSession = *n;
        } else if (arg == QLatin1String("--delay")) {
            bool ok = false;
            const double ms = value.toDouble(&ok);
            if (!ok || !(ms >= 0 && ms <= DatalogLimits::MaxSampleDelayMs))
                return fail(QStringLiteral("--delay needs milliseconds from 0 to %1, not '%2'")
                                .arg(DatalogLimits::MaxSampleDelayMs)
                                .arg(value));
            s.SampleDelayMs = ms;
        } else if (arg == QLatin1String("--name")) {
            // The base of names such as NAME_1.csv: checked as the start of one.
            if (const QString problem = FileNameProblem(value + QStringLiteral("_1")); !problem.isEmpty())
                return fail(QStringLiteral("--name '%1': %2").arg(value, problem));
            s.FileName = value;
        } else if (arg == QLatin1String("--dir")) {
            s.Folder = value;
        } else if (arg == QLatin1String("--select")) {
            const auto selected = columnSelection(value);
            if (!selected)
                return fail(QStringLiteral("--select needs names from supply,gyro,aux,temp,angle, not '%1'")
                                .arg(value));
            s.CheckReg = *selected;
        } else if (arg == QLatin1String("--time")) {
            s.ckTime = true;
        } else if (arg == QLatin1String("--no-flags")) {
            s.ckDisableNewDataFlags = true;
        } else if (arg == QLatin1String("--raw")) {
            s.ckNoScaling = true;
        } else if (arg == QLatin1String("--no-header")) {
            s.ckNoHeader = true;
        } else if (arg == QLatin1String("--reset-angle")) {
            s.ckReSetAngle = true;
        } else if (arg == QLatin1String("--every-sample")) {
            s.chkEverySample = true;
        } else if (arg == QLatin1String("--stdout")) {
            request.toStdout = true;
        } else if (arg == QLatin1String("--rate")) {
            bool ok = false;
            const double rate = value.toDouble(&ok); // C locale: a point, as the rate command takes
            if (!ok || !std::isfinite(rate))
                return fail(
                    QStringLiteral("--rate needs samples a second such as 2048, not '%1'").arg(value));
            request.rate = rate;
        } else {
            return fail(QStringLiteral("log: unknown option '%1'").arg(arg));
        }
    }
    if (!request.toStdout && !QFileInfo(s.Folder).isDir())
        return fail(QStringLiteral("--dir: no folder '%1'").arg(s.Folder));
    return request;
}

int runLog(CtlContext& c)
{
    QString error;
    const std::optional<LogRequest> request = ParseLogArguments(c.options.arguments, &error);
    if (!request) {
        c.err << "gyroctl: " << error << Qt::endl;
        return ExitUsage;
    }
    const DatalogSettings* settings = &request->settings;
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (request->rate && !SetCtlSampleRate(c, *request->rate)) {
        c.err << "gyroctl: Smpl_Prd did not answer" << Qt::endl;
        return ExitTransportFailed;
    }
    if (!ScaleForSensorRange(c)) // Gyro_Out is logged in deg/s of the range held
        return ExitTransportFailed;

    CatchCtlInterrupt();
    const bool showProgress = StderrIsTerminal();
    Clock& clock = c.g.platform.clock;
    double lastProgress = -ProgressIntervalSeconds;
    std::int64_t fileNumber = 0;
    DatalogHooks hooks;
    hooks.cancelRequested = [] { return CtlInterruptRequested(); };
    hooks.fileBegun = [&](std::int64_t n) { fileNumber = n; };
    hooks.fileWritten = [&](const QString& path) {
        if (showProgress)
            c.err << "\r\033[K" << Qt::flush; // the progress line gives way to the result
        c.out << path << Qt::endl;
    };
    if (showProgress) {
        hooks.sampleTaken = [&](std::int64_t taken, std::int64_t samplesPerFile) {
            const double now = clock.monotonicSeconds();
            if (now - lastProgress < ProgressIntervalSeconds && taken != samplesPerFile)
                return;
            lastProgress = now;
            c.err << "\rfile " << fileNumber << " of " << settings->FilesPerSession << ": " << taken << " of "
                  << samplesPerFile << " samples" << Qt::flush;
        };
    }

    if (request->toStdout) {
        // Each line at once in a paced run (a reader sees the samples as they come);
        // the free-running run leaves it to the stream's buffer.
        const bool flushEach = settings->chkEverySample;
        hooks.lineOut = [&c, flushEach](const QString& line) {
            c.out << line << '\n';
            if (flushEach)
                c.out.flush();
            return c.out.status() == QTextStream::Ok;
        };
    }

    const DatalogOutcome outcome = RunDatalog(c.g, *settings, hooks);
    bool outputFailed = false;
    if (request->toStdout) {
        c.out.flush();
        if (showProgress)
            c.err << "\r\033[K" << Qt::flush;
        outputFailed = c.out.status() != QTextStream::Ok || std::fflush(stdout) != 0;
        if (outputFailed)
            c.err << "gyroctl: standard output could not be written; the log has stopped" << Qt::endl;
    }
    if (settings->chkEverySample && outcome.samplesMissed > 0)
        c.err << "gyroctl: " << SamplesMissedNote(outcome.samplesMissed) << Qt::endl;
    switch (outcome.end) {
    case DatalogEnd::Completed:
        return outputFailed ? ExitTransportFailed : ExitOk;
    case DatalogEnd::Cancelled:
        return ExitInterrupted;
    case DatalogEnd::FileAccessFailed:
    case DatalogEnd::SensorFailed:
        break;
    }
    return ExitTransportFailed;
}

} // namespace gyro
