#include "ParallelSpi.h"

#include "SpiTrace.h"
#include "Timing.h"

namespace gyro {

namespace {

// Lines on the data register.
constexpr std::int32_t ChipSelectLine = 0x01;
constexpr std::int32_t ClockLine = 0x02;
constexpr std::int32_t DataOutLine = 0x04; // inverted: a 1 bit is sent as 0, idle is 1

// Data from the sensor on the status register, inverted: 0 means a 1 bit.
constexpr std::int32_t StatusDataIn = 0x40;

constexpr float FrameGapMs = 0.1f;

// The settings hold the base address in a signed 16-bit value; addresses above
// 0x7FFF (add-in port cards) come back as their unsigned value.
std::int32_t dataRegister(const GyroState& g)
{
    return static_cast<std::uint16_t>(g.PortAddress);
}

std::int32_t statusRegister(const GyroState& g)
{
    return dataRegister(g) + 1;
}

void setLines(GyroState& g, std::int32_t lines)
{
    g.platform.port.vbOut(dataRegister(g), lines);
}

// Chip select goes active with the clock low and the data line idle.
void beginFrame(GyroState& g)
{
    setLines(g, DataOutLine);
    setLines(g, ChipSelectLine | DataOutLine);
}

void endFrame(GyroState& g)
{
    setLines(g, 0);
    DelayMs(g, FrameGapMs);
}

void traceFrame(GyroState& g, std::uint16_t out, int in)
{
    if (g.spiTrace != nullptr)
        g.spiTrace->frame(SpiInterface::Parallel, out, in);
}

} // namespace

void PortSpiWrite(GyroState& g, std::int32_t word)
{
    beginFrame(g);
    for (int n = 15; n >= 0; --n) {
        const bool one = ((word >> n) & 1) != 0;
        const std::int32_t data = one ? 0 : DataOutLine;
        // The clock falls while the data line holds the bit; then the line idles.
        setLines(g, ChipSelectLine | ClockLine | DataOutLine);
        setLines(g, ChipSelectLine | ClockLine | data);
        setLines(g, ChipSelectLine | data);
        setLines(g, ChipSelectLine | DataOutLine);
    }
    endFrame(g);
    traceFrame(g, static_cast<std::uint16_t>(word), SpiTrace::NotSampled);
}

std::int32_t PortSpiRead(GyroState& g, std::int32_t address)
{
    std::int32_t accumulator = 0;
    PortSpiWrite(g, (address & 0x7F) * 256);

    // The answer comes during a second frame; the data line stays idle, so the
    // sensor receives 0x0000 meanwhile.
    beginFrame(g);
    for (int n = 15; n >= 0; --n) {
        setLines(g, ChipSelectLine | ClockLine | DataOutLine);
        if ((g.platform.port.vbInp(statusRegister(g)) & StatusDataIn) == 0)
            accumulator += std::int32_t{1} << n;
        setLines(g, ChipSelectLine | DataOutLine);
    }
    endFrame(g);
    traceFrame(g, 0x0000, accumulator);
    return accumulator;
}

std::int32_t PortSpiExchange(GyroState& g, std::int32_t word)
{
    std::int32_t accumulator = 0;
    beginFrame(g);
    for (int n = 15; n >= 0; --n) {
        const bool one = ((word >> n) & 1) != 0;
        const std::int32_t data = one ? 0 : DataOutLine;
        setLines(g, ChipSelectLine | ClockLine | DataOutLine);
        setLines(g, ChipSelectLine | ClockLine | data);
        // Answer bit n is on the status line while bit n is clocked out.
        if ((g.platform.port.vbInp(statusRegister(g)) & StatusDataIn) == 0)
            accumulator += std::int32_t{1} << n;
        setLines(g, ChipSelectLine | data);
        setLines(g, ChipSelectLine | DataOutLine);
    }
    endFrame(g);
    traceFrame(g, static_cast<std::uint16_t>(word), accumulator);
    return accumulator;
}

void PortSpiInit(GyroState& g)
{
    g.platform.port.vbOut(statusRegister(g), 0x40);
    DelayMs(g, FrameGapMs);
    setLines(g, 0);
}

} // namespace gyro
