#pragma once
#include "Clock.h"

namespace gyro {

// The system's clocks: local time of day and std::chrono::steady_clock.
class RealClock final : public Clock {
public:
    double secondsSinceMidnight() override;
    double monotonicSeconds() override;
    void sleepUntil(double deadline) override;
};

// Burns CPU time in a loop the optimiser cannot remove (the counter is volatile).
class RealBusyLoop final : public BusyLoop {
public:
    void spin(std::int64_t units, std::int32_t turnsPerUnit) override;
};

// Waits by watching the monotonic clock: each unit is 10 us of real time, with no
// calibration. For tools that cannot spend seconds calibrating at start-up.
class DeadlineBusyLoop final : public BusyLoop {
public:
    void spin(std::int64_t units, std::int32_t turnsPerUnit) override;
};

} // namespace gyro
