#include "RegisterBurst.h"

#include "RegisterAccess.h"
#include "SpiLinks.h"

#include <array>
#include <stdexcept>
#include <string>

namespace gyro {

namespace {

using Frames = std::array<std::int32_t, MaxBurstRegisters + 1>;

const RegisterEntry& readableEntry(const GyroState& g, int index)
{
    if (index < 0 || index >= RegisterSlotCount)
        throw std::out_of_range("register index " + std::to_string(index) + " is outside 0..296");
    const RegisterEntry& e = g.Reg[static_cast<std::size_t>(index)];
    if (!e.RegReadable)
        throw std::invalid_argument("register " + e.RegName.toStdString() + " cannot be read");
    return e;
}

// Sends `count` frames; answers[i] is the answer clocked in during frame i.
bool exchange(GyroState& g, const Frames& frames, std::size_t count, Frames& answers)
{
    return CurrentLink(g).exchange(std::span(frames).first(count), std::span(answers).first(count));
}

} // namespace

ReadOutcome<BurstReadings> ReadRegisterBurst(GyroState& g, std::span<const int> indexes)
{
    const std::size_t n = indexes.size();
    if (n < 1 || n > static_cast<std::size_t>(MaxBurstRegisters))
        throw std::invalid_argument("a burst reads 1 to 15 registers, not " + std::to_string(n));
    Frames frames{};
    for (std::size_t i = 0; i < n; ++i)
        frames[i] = ReadFrame(readableEntry(g, indexes[i]).RegAddress);
    frames[n] = BurstClosingFrame;

    Frames answers{};
    if (!exchange(g, frames, n + 1, answers))
        return NoReadingReason::NoAnswer;
    BurstReadings readings;
    readings.count = n;
    for (std::size_t i = 0; i < n; ++i)
        readings.RegReadings[i] = ReadingOfAnswer(g, indexes[i], answers[i + 1]);
    return readings;
}

} // namespace gyro
