#include "SensorCommands.h"

#include "RegisterAccess.h"
#include "Timing.h"

namespace gyro {

namespace {
constexpr float FlashUpdateWaitMs = 200.0f;
} // namespace

bool RunTimedCommand(GyroState& g, std::int32_t code, float waitMs, const BusyMarker& marker)
{
    if (!WriteRegister(g, Idx_Command, code))
        return false;
    if (marker.show)
        marker.show();
    DelayMs(g, waitMs);
    if (WriteCanChangeRange(Idx_Command, code))
        TellIfFailed(g.ui, SetGyroScale(g).outcome); // the front end tells a range the sensor cannot hold
    if (marker.hide)
        marker.hide();
    return true;
}

bool FlashUpdate(GyroState& g, const BusyMarker& marker)
{
    return RunTimedCommand(g, CommandCode::FlashUpdate, FlashUpdateWaitMs, marker);
}

bool WriteCanChangeRange(int index, std::int32_t value)
{
    constexpr std::int32_t KeepsRange = CommandCode::DacLatch | CommandCode::FlashUpdate;
    if (index == Idx_Sens_Avg)
        return true;
    return index == Idx_Command && (value & 0xFFFF & ~KeepsRange) != 0;
}

} // namespace gyro
