#pragma once
// The road to the sensor's SPI port, whatever carries it: the USB SPI card, the
// parallel port, or nothing. Register access sends its frames here and never asks
// which link it is. A link is made from the interface settings (transport/SpiLinks).
#include <cstdint>
#include <optional>
#include <span>

namespace gyro {

// A read frame names the register's address in bits 14..8; a write frame also sets
// bit 15 and carries one byte for that address.
constexpr std::int32_t ReadFrame(std::int32_t address)
{
    return (address & 0x7F) * 256;
}
constexpr std::int32_t WriteFrame(std::int32_t address, std::int32_t data)
{
    return 0x8000 + (address & 0x7F) * 256 + (data & 0xFF);
}

class SpiLink {
public:
    virtual ~SpiLink() = default;

    // One register read: its read frame and the frame that brings the answer.
    // The answer 0..65535, or nothing when none came.
    virtual std::optional<std::int32_t> readWord(std::int32_t address) = 0;
    // Two write frames, in order. False when they could not be sent.
    virtual bool writeFrames(std::int32_t first, std::int32_t second) = 0;
    // Frames back to back (1..16); answers[i] is the word clocked in during frame i
    // (the span is as long as frames). False when the exchange failed: no answers.
    virtual bool exchange(std::span<const std::int32_t> frames, std::span<std::int32_t> answers) = 0;
    // Whether the sensor may be set to sample slowly enough to enter its low-power
    // mode while this link carries the traffic.
    virtual bool allowsLowPowerSampling() const { return true; }
};

} // namespace gyro
