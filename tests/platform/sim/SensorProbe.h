#pragma once
// A simulated sensor on a fake clock, driven through SPI frames the way the program
// drives it: two-frame reads and two write frames per register (high byte first).
#include "FakeClock.h"
#include "SimSensor.h"

#include <cstdint>

namespace gyro::sim::test {

struct SensorProbe {
    explicit SensorProbe(std::uint32_t seed = 1) : sensor(clock, seed) {}

    // The answer to the second of two read frames.
    std::uint16_t read(int address)
    {
        const auto frame = static_cast<std::uint16_t>((address & 0x7F) << 8);
        sensor.transfer(frame);
        return sensor.transfer(frame);
    }

    void write(int address, std::uint16_t value)
    {
        sensor.transfer(static_cast<std::uint16_t>(0x8000 | ((address + 1) & 0x7F) << 8 | (value >> 8)));
        sensor.transfer(static_cast<std::uint16_t>(0x8000 | (address & 0x7F) << 8 | (value & 0xFF)));
    }

    void command(std::uint16_t bits) { write(SensorAddress::Command, bits); }

    // Moves the clock on by `count` internal sample periods (and a hair, so the last one is due).
    void samples(int count) { clock.advance(count * sensor.samplePeriod() + 1e-9); }

    // Scripts a quiet sensor turning at a constant rate: no bias, no noise, no temperature effect.
    void turnSteadily(double degPerSec)
    {
        SensorModel m = sensor.model();
        m.silenceNoise();
        m.biasDegPerSec = 0.0;
        m.biasPerDegC = 0.0;
        m.motion = [degPerSec](double) { return degPerSec; };
        sensor.setModel(m);
    }

    FakeClock clock;
    SimSensor sensor;
};

// The signed count in the low `bits` bits of a word (flags above them dropped).
inline int countOf(std::uint16_t word, int bits)
{
    const int sign = 1 << (bits - 1);
    return (word & (sign - 1)) - (word & sign);
}

} // namespace gyro::sim::test
