#pragma once
// A device on a simulated SPI bus, frame by frame. The device shifts out the word
// it prepared from the frame before while it receives the current one.
#include <cstdint>

namespace gyro::sim {

class SpiDevice {
public:
    virtual ~SpiDevice() = default;
    // The word the device shifts out during the next frame.
    virtual std::uint16_t pendingAnswer() = 0;
    // A whole 16-bit frame arrived; the device acts on it and prepares its next answer.
    virtual void frameReceived(std::uint16_t frame) = 0;

    // A card clocks the words of one transfer back to back, microseconds apart; it
    // tells the device where such a run of frames begins and ends.
    virtual void transferBegins() {}
    virtual void transferEnds() {}

    std::uint16_t transfer(std::uint16_t out)
    {
        const std::uint16_t in = pendingAnswer();
        frameReceived(out);
        return in;
    }
};

} // namespace gyro::sim
