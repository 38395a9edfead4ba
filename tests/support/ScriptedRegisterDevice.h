#pragma once
// A sensor stand-in for framing tests: answers each frame with the word scripted
// for the address the frame before it named, and records every frame it receives.
#include "SpiDevice.h"

#include <cstdint>
#include <map>
#include <vector>

namespace gyro::test {

class ScriptedRegisterDevice final : public sim::SpiDevice {
public:
    // `leftOver` is what an earlier access left to shift out with the first frame.
    explicit ScriptedRegisterDevice(std::uint16_t leftOver = 0) : answer_(leftOver) {}

    std::uint16_t pendingAnswer() override { return answer_; }
    void frameReceived(std::uint16_t frame) override
    {
        received.push_back(frame);
        answer_ = words[(frame >> 8) & 0x7F];
    }

    std::map<int, std::uint16_t> words;
    std::vector<std::uint16_t> received;

private:
    std::uint16_t answer_;
};

} // namespace gyro::test
