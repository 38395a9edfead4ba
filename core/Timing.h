#pragma once
// Calibrated busy waits. The sensor traffic needs waits down to 10 microseconds,
// far below the system timer's step, so the program spins a loop whose speed it
// measures once at start-up.
#include <cstdint>
#include <functional>

namespace gyro {

struct GyroState;

// The number of 10 us units DelayMs(ms) spins: 0 for exactly 0, at least 1 otherwise.
std::int64_t DelayUnits(float ms);

// Waits ms milliseconds (10 us resolution) without yielding to the window
// system. Calibrates first if that has not happened yet. Waits up to 0.5 ms spin
// the calibrated loop; longer ones sleep on the monotonic clock until 0.15 ms
// before the deadline and spin the rest, so the processor stays free and a loaded
// machine does not shorten the wait. A spin that the clock shows fell short is
// topped up.
void DelayMs(GyroState& g, float ms);

// DelayMs for waits that a user may want to end: a long wait sleeps on the
// monotonic clock in slices of at most 20 ms and asks `stop` after each, so a stop
// request ends it at once and the processor stays free; the last slice is an
// exact DelayMs. False when `stop` ended the wait early.
bool DelayMsOrStop(GyroState& g, float ms, const std::function<bool()>& stop);

// Measures LoopsPer10us against the platform's monotonic clock by timing the
// calibrated spin alone (no sleeping). Each timed run spins in pieces of at most
// 100 ms nominal with a yield to the window system after each, so the windows
// stay painted during the seconds it takes.
void CalibrateDelay(GyroState& g);

} // namespace gyro
