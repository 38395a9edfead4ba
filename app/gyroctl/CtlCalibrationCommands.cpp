// null, factory-cal, offset and bias: the calibration window's operations from the
// command line.
#include "BiasAveraging.h"
#include "CtlArguments.h"
#include "CtlConfigCommands.h"
#include "CtlInterrupt.h"
#include "HexText.h"
#include "NumberText.h"
#include "OffsetEntry.h"
#include "SensorCommands.h"

namespace gyro {

namespace {

// The offset the sensor holds, as the calibration window shows it.
int printOffset(CtlContext& c, const std::optional<OffsetReading>& reading)
{
    if (!reading) {
        c.err << "gyroctl: GYRO_OFST did not answer" << Qt::endl;
        return ExitTransportFailed;
    }
    c.out << "offset\t" << GyroOffsetText(reading->degPerSec) << Qt::endl;
    c.out << "GYRO_OFST\t" << ValueToHex4(reading->word) << Qt::endl;
    return StatusAfterTraffic(c, true);
}

int runOffsetCommand(CtlContext& c, std::int32_t code)
{
    if (!AtMostArguments(c, 0))
        return ExitUsage;
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    return printOffset(c, RunOffsetCommand(c.g, code));
}

} // namespace

int runNull(CtlContext& c)
{
    return runOffsetCommand(c, CommandCode::AutoNull);
}

int runFactoryCal(CtlContext& c)
{
    return runOffsetCommand(c, CommandCode::FactoryRestore);
}

int runOffset(CtlContext& c)
{
    if (!AtMostArguments(c, 1))
        return ExitUsage;
    std::optional<double> degPerSec;
    if (!c.options.arguments.isEmpty()) {
        degPerSec = StrictNumber(c, c.options.arguments[0], "offset");
        if (!degPerSec)
            return ExitUsage;
        const double limited = LimitedGyroOffset(*degPerSec);
        if (limited != *degPerSec)
            NoteCorrection(c, "offset", *degPerSec, GeneralFormat(limited));
        degPerSec = limited;
    }
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (!degPerSec)
        return printOffset(c, ReadGyroOffset(c.g));
    return printOffset(c, WriteGyroOffset(c.g, GyroOffsetCount(c.g, *degPerSec)));
}

int runBias(CtlContext& c)
{
    const QStringList& args = c.options.arguments;
    const bool apply = args.size() == 2 && args[1] == QLatin1String("--apply");
    if (args.isEmpty() || args.size() > 2 || (args.size() == 2 && !apply)) {
        c.err << "gyroctl: bias needs SECONDS and takes --apply" << Qt::endl;
        return ExitUsage;
    }
    const auto entered = StrictNumber(c, args[0], "averaging time");
    if (!entered)
        return ExitUsage;
    const double seconds = LimitedAveragingSeconds(*entered);
    if (seconds != *entered)
        NoteCorrection(c, "averaging time", *entered, GeneralFormat(seconds));
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (!ScaleForSensorRange(c)) // the mean is in deg/s of the range held
        return ExitTransportFailed;

    // Ctrl+C ends the run after the current sample; the result is still printed.
    CatchCtlInterrupt();
    AveragingHooks hooks;
    hooks.stopRequested = [] { return CtlInterruptRequested(); };
    const AveragingResult result = RunBiasAveraging(c.g, seconds, hooks);
    if (!result.offsetCleared) {
        c.err << "gyroctl: GYRO_OFST could not be read and cleared; no run was made" << Qt::endl;
        return ExitTransportFailed;
    }
    if (result.readFailed)
        c.err << "gyroctl: " << AveragingReadFailedMessage(result.count) << Qt::endl;
    c.out << "samples\t" << result.count << Qt::endl;
    std::optional<double> proposed;
    if (result.count > 0) {
        proposed = ProposedGyroOffset(result.mean);
        c.out << "mean\t" << FormatNumber(result.mean, QStringLiteral("0.000")) << Qt::endl;
        c.out << "proposed\t" << GyroOffsetText(*proposed) << Qt::endl;
    }
    // Only a whole run is applied; an interrupted or failed one is reported.
    if (apply && proposed && !result.stopped && !result.readFailed) {
        // As "Update" does: a proposal beyond the register's reach is written as its limit.
        const double written = LimitedGyroOffset(*proposed);
        if (written != *proposed)
            NoteCorrection(c, "offset", *proposed, GeneralFormat(written));
        return printOffset(c, WriteGyroOffset(c.g, GyroOffsetCount(c.g, written)));
    }
    // Not applied: the sensor gets back the calibration it had before the run.
    if (!RestoreClearedOffset(c.g, result)) {
        c.err << "gyroctl: GYRO_OFST could not be restored to " << ValueToHex4(result.offsetBefore->word)
              << "; the sensor may hold offset 0" << Qt::endl;
        return ExitTransportFailed;
    }
    if (result.stopped)
        return ExitInterrupted;
    if (result.readFailed || result.count == 0)
        return ExitTransportFailed;
    return StatusAfterTraffic(c, true);
}

} // namespace gyro
