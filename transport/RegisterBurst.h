#pragma once
// Several registers in one exchange with the sensor. Each frame is answered with the
// register named by the frame before it, so n registers take n read frames and one
// closing frame: frame i + 1 brings register i. On the USB card the n + 1 frames are
// one transfer (a request and its answer); on the parallel port they go out back to
// back, instead of the two frames of every single read.
#include "GyroState.h"

#include <cstdint>
#include <span>

namespace gyro {

// What a single read of one register leaves in the read results.
struct RegisterReading {
    std::int32_t RegWord = 0;
    std::int16_t RegHighByte = 0;
    std::int16_t RegLowByte = 0;
    std::int32_t RegNewData = 0;
    std::int32_t RegErrorFlag = 0;
    float RegValue = 0.0f;
    bool operator==(const RegisterReading&) const = default;
};

// One transfer holds 16 words: 15 registers and the closing frame.
constexpr int MaxBurstRegisters = UsbMaxWords - 1;

// The closing frame reads address 0 (the flash counter, which carries no new-data
// flag), so the answer the next access throws away never takes an output's flag.
constexpr std::int32_t BurstClosingFrame = 0x0000;

// Reads the registers in order into `readings` (one per index; the span must be as
// long) and returns true. Each reading, and the read results after the call, are
// what single reads in the same order would leave. A transfer that fails fails the
// whole burst: false, every reading and read result 0, RegReadFailed true. An index
// outside 0..296, a write-only register or a count outside 1..15 is a caller's fault:
// std::invalid_argument (or std::out_of_range) before any traffic.
bool ReadRegisterBurst(GyroState& g, std::span<const int> indexes, std::span<RegisterReading> readings);

} // namespace gyro
