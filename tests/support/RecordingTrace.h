#pragma once
// An SPI trace that keeps every frame in memory, for checking what a transport reported.
#include "SpiTrace.h"

#include <vector>

namespace gyro::test {

struct TracedFrame {
    SpiInterface iface;
    std::uint16_t out;
    int in;
    bool operator==(const TracedFrame&) const = default;
};

class RecordingTrace final : public SpiTrace {
public:
    void frame(SpiInterface iface, std::uint16_t out, int in) override { frames.push_back({iface, out, in}); }
    std::vector<TracedFrame> frames;
};

} // namespace gyro::test
