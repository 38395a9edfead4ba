#include "BiasAveraging.h"

#include "NumberText.h"
#include "RegisterAccess.h"

#include <algorithm>
#include <cmath>

namespace gyro {

double LimitedAveragingSeconds(double seconds)
{
    if (std::isnan(seconds) || seconds < ShortestAveragingSeconds)
        return 0.0;
    return std::min(seconds, LongestAveragingSeconds);
}

AveragingResult RunBiasAveraging(GyroState& g, double seconds, const AveragingHooks& hooks)
{
    AveragingResult result;
    result.offsetBefore = ReadGyroOffset(g);
    if (!result.offsetBefore)
        return result; // an offset that could not be put back is not cleared
    result.offsetCleared = WriteRegister(g, Idx_GYRO_OFST, 0);
    if (!result.offsetCleared)
        return result; // a mean over the old offset would not be the bias
    if (hooks.runStarted)
        hooks.runStarted();

    Clock& clock = g.platform.clock;
    const double start = clock.monotonicSeconds();
    double sum = 0.0;
    for (;;) {
        const RegisterRead rate = ReadRegister(g, Idx_Gyro_Out);
        if (!rate) {
            result.readFailed = true;
            break;
        }
        sum += rate->RegValue;
        ++result.count;
        result.mean = sum / static_cast<double>(result.count);
        const double elapsed = clock.monotonicSeconds() - start;
        if (hooks.sampleTaken)
            hooks.sampleTaken({rate->RegValue, result.mean, result.count, seconds - elapsed});
        if (hooks.stopRequested && hooks.stopRequested()) {
            result.stopped = true;
            break;
        }
        if (elapsed >= seconds)
            break;
    }
    return result;
}

std::optional<OffsetReading> RestoreClearedOffset(GyroState& g, const AveragingResult& result)
{
    if (!result.offsetCleared || !result.offsetBefore)
        return std::nullopt;
    return WriteGyroOffset(g, result.offsetBefore->word);
}

double ShownToThreeDecimals(double value)
{
    return LocaleNumber(FormatNumber(value, QStringLiteral("0.000"), QLocale::c()), QLocale::c());
}

double ProposedGyroOffset(double mean)
{
    const double shown = ShownToThreeDecimals(mean);
    return shown == 0.0 ? 0.0 : -shown; // no "-0.000" for a mean shown as 0
}

QString AveragingReadFailedMessage(std::int64_t count)
{
    return QStringLiteral("Gyro_Out did not answer: the averaging run ended after %1 samples.").arg(count);
}

} // namespace gyro
