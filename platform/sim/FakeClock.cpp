#include "FakeClock.h"

#include <cmath>

namespace gyro::sim {

double FakeClock::secondsSinceMidnight()
{
    return std::fmod(midnightOffset_ + now_, 24 * 3600.0);
}

void FakeClock::sleepUntil(double deadline)
{
    if (deadline <= now_)
        return;
    sleeps_.push_back(deadline - now_);
    now_ = deadline;
}

void FakeBusyLoop::spin(std::int64_t units, std::int32_t turnsPerUnit)
{
    spins_.push_back({units, turnsPerUnit});
    clock_.advance(static_cast<double>(units) * turnsPerUnit * secondsPerTurn_);
}

} // namespace gyro::sim
