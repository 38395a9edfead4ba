#pragma once
// Commands written to the sensor's Command register and the timed wait each needs,
// with an optional busy marker that a window shows meanwhile.
#include "GyroState.h"

#include <cstdint>
#include <functional>

namespace gyro {

// Values written to Command.
namespace CommandCode {
constexpr std::int32_t AutoNull = 1;
constexpr std::int32_t FactoryRestore = 2;
constexpr std::int32_t DacLatch = 4;
constexpr std::int32_t FlashUpdate = 8;
} // namespace CommandCode

// What a window shows while a command takes its time: `show` makes the marker
// visible and yields once so that it is painted; `hide` hides it again. gyroctl
// passes an empty marker.
struct BusyMarker {
    std::function<void()> show;
    std::function<void()> hide;
};

// Writes `code` to Command, shows the marker, waits `waitMs`, hides the marker;
// then, for a command that can change the range, sets the Gyro_Out scale from
// Sens_Avg. Returns false when the write could not be sent (the wait is then skipped).
bool RunTimedCommand(GyroState& g, std::int32_t code, float waitMs, const BusyMarker& marker = {});

// The flash memory register update: Command 8 and a 200 ms wait.
bool FlashUpdate(GyroState& g, const BusyMarker& marker = {});

// Whether writing `value` to register `index` can change the measurement range the
// sensor holds: every write of Sens_Avg, and every Command other than the DAC latch
// and the flash update (automatic null, factory restore, and bits this program does
// not name, which may reload the configuration). After such a write the Gyro_Out
// scale must be set again from Sens_Avg (SetGyroScale), or every rate is scaled for
// a range the sensor no longer holds.
bool WriteCanChangeRange(int index, std::int32_t value);

} // namespace gyro
