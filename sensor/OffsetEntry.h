#pragma once
// The rate offset register (GYRO_OFST) as the calibration window and gyroctl set
// it: entered in degrees per second within its limits, or set by the sensor's own
// automatic null and factory restore.
#include "GyroState.h"
#include "SensorCommands.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace gyro {

// GYRO_OFST holds -2048..2047 counts of 0.018315 deg/s; the limits are those counts
// in deg/s, fixed whatever the map's scale.
constexpr double LowestGyroOffset = -37.50912;
constexpr double HighestGyroOffset = 37.490805;

// An offset entry corrected as the window does: a text that is not a number 0, a
// value beyond a limit that limit.
double CorrectedGyroOffset(const QString& text);
double LimitedGyroOffset(double degPerSec);
// Counts for an offset in deg/s, with the map's scale of GYRO_OFST (halves to even).
std::int32_t GyroOffsetCount(const SensorView& sensor, double degPerSec);
// An offset in deg/s as the windows show it: "0.000".
QString GyroOffsetText(double degPerSec);

struct OffsetReading {
    std::int32_t word = 0; // the register's count (two's complement, 12 bits)
    float degPerSec = 0.0f;
};
// Reads GYRO_OFST; nothing when the read failed.
std::optional<OffsetReading> ReadGyroOffset(GyroState& g);
// Writes the count, waits 100 ms and reads the register back.
std::optional<OffsetReading> WriteGyroOffset(GyroState& g, std::int32_t count);
// Automatic null (Command 1) or factory restore (Command 2): the command, the
// marker for 250 ms, then the offset the sensor now holds.
std::optional<OffsetReading> RunOffsetCommand(GyroState& g, std::int32_t code, const BusyMarker& marker = {});

} // namespace gyro
