#pragma once
// Calibrated busy waits. The sensor traffic needs waits down to 10 microseconds,
// far below the system timer's step, so the program spins a loop whose speed it
// measures once at start-up.
#include <cstdint>

namespace gyro {

struct GyroState;

// The number of 10 us units DelayMs(ms) spins: 0 for exactly 0, at least 1 otherwise.
std::int64_t DelayUnits(float ms);

// Busy-waits ms milliseconds (10 us resolution) without yielding to the window
// system. Calibrates first if that has not happened yet.
void DelayMs(GyroState& g, float ms);

// Measures LoopsPer10us against the platform's monotonic clock.
void CalibrateDelay(GyroState& g);

} // namespace gyro
