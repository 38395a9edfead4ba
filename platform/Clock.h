#pragma once
// Time as the program reads it, and the busy loop that the calibrated waits spin.
#include <cstdint>

namespace gyro {

class Clock {
public:
    virtual ~Clock() = default;
    // Local wall-clock time in seconds since midnight (for time stamps shown to the user).
    virtual double secondsSinceMidnight() = 0;
    // Seconds on a clock that never jumps; use it for every elapsed time.
    virtual double monotonicSeconds() = 0;
    // Sleeps, leaving the processor to others, until monotonicSeconds() reaches
    // `deadline` (returns at once when it already has). The system may wake the
    // sleeper a little late, never early.
    virtual void sleepUntil(double deadline) = 0;
};

// Spins `units` turns of an outer loop, each counting an empty inner loop of
// `turnsPerUnit`. The real one burns CPU time; the simulated one advances a fake
// clock by the time such a loop would take on a modelled PC.
class BusyLoop {
public:
    virtual ~BusyLoop() = default;
    virtual void spin(std::int64_t units, std::int32_t turnsPerUnit) = 0;
};

} // namespace gyro
