#pragma once
// A sink for every SPI frame that crosses a transport: the engineer's bus monitor.
#include <cstdint>

namespace gyro {

enum class SpiInterface { Usb, Parallel };

class SpiTrace {
public:
    static constexpr int NotSampled = -1; // the transport did not read an answer
    virtual ~SpiTrace() = default;
    // `in` is the 16-bit word clocked back during the frame, or NotSampled.
    virtual void frame(SpiInterface iface, std::uint16_t out, int in) = 0;
};

} // namespace gyro
