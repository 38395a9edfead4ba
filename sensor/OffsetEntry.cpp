#include "OffsetEntry.h"

#include "NumberText.h"
#include "RegisterAccess.h"
#include "Timing.h"

#include <algorithm>

namespace gyro {

namespace {
constexpr float OffsetWaitMs = 100.0f;
constexpr float OffsetCommandWaitMs = 250.0f;
} // namespace

double CorrectedGyroOffset(const QString& text)
{
    return LimitedGyroOffset(IsNumeric(text) ? LocaleNumber(text) : 0.0);
}

double LimitedGyroOffset(double degPerSec)
{
    return std::clamp(degPerSec, LowestGyroOffset, HighestGyroOffset);
}

std::int32_t GyroOffsetCount(const SensorView& sensor, double degPerSec)
{
    const double scale = sensor.Reg[Idx_GYRO_OFST].RegScale;
    return static_cast<std::int32_t>(RoundHalfEven(degPerSec / scale));
}

QString GyroOffsetText(double degPerSec)
{
    return FormatNumber(degPerSec, QStringLiteral("0.000"));
}

std::optional<OffsetReading> ReadGyroOffset(GyroState& g)
{
    const RegisterRead r = ReadRegister(g, Idx_GYRO_OFST);
    if (!r)
        return std::nullopt;
    return OffsetReading{r->RegWord, r->RegValue};
}

std::optional<OffsetReading> WriteGyroOffset(GyroState& g, std::int32_t count)
{
    if (!WriteRegister(g, Idx_GYRO_OFST, count))
        return std::nullopt;
    DelayMs(g, OffsetWaitMs);
    return ReadGyroOffset(g);
}

std::optional<OffsetReading> RunOffsetCommand(GyroState& g, std::int32_t code, const BusyMarker& marker)
{
    // The marker stays up until the new offset has been read.
    const BusyMarker showOnly{marker.show, {}};
    const bool sent = RunTimedCommand(g, code, OffsetCommandWaitMs, showOnly);
    const auto reading = sent ? ReadGyroOffset(g) : std::nullopt;
    if (sent && marker.hide)
        marker.hide();
    return reading;
}

} // namespace gyro
