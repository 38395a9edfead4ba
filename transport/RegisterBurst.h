#pragma once
// Several registers in one exchange with the sensor. Each frame is answered with the
// register named by the frame before it, so n registers take n read frames and one
// closing frame: frame i + 1 brings register i. On the USB card the n + 1 frames are
// one transfer (a request and its answer); on the parallel port they go out back to
// back, instead of the two frames of every single read.
#include "GyroState.h"
#include "RegisterReading.h"

#include <array>
#include <cstdint>
#include <span>

namespace gyro {

// One transfer holds 16 words: 15 registers and the closing frame.
constexpr int MaxBurstRegisters = UsbMaxWords - 1;

// The readings of one burst, in the order the registers were asked for.
struct BurstReadings {
    std::array<RegisterReading, MaxBurstRegisters> RegReadings{};
    std::size_t count = 0;

    const RegisterReading& operator[](std::size_t i) const { return RegReadings[i]; }
    std::size_t size() const { return count; }
    const RegisterReading& back() const { return RegReadings[count - 1]; }
};

// The closing frame reads address 0 (the flash counter, which carries no new-data
// flag), so the answer the next access throws away never takes an output's flag.
constexpr std::int32_t BurstClosingFrame = 0x0000;

// Reads the registers in order and gives back one reading per index, each what a
// single read in the same order would give. A transfer that fails fails the whole
// burst: NoAnswer, no readings. An index outside 0..296, a write-only register or a
// count outside 1..15 is a caller's fault: std::invalid_argument (or
// std::out_of_range) before any traffic.
ReadOutcome<BurstReadings> ReadRegisterBurst(GyroState& g, std::span<const int> indexes);

} // namespace gyro
