#pragma once
// A simulated PC parallel port with an SPI device wired to it.
//
// Wiring, at the base address (default 0x378):
//   data register (base), written: bit 0 chip select, bit 1 clock, bit 2 data to
//     the device, inverted (a 1 bit is sent as 0); other bits are not wired.
//   status register (base + 1), read: bit 6 data from the device, inverted (0
//     means a 1 bit); every other status bit reads 0.
//
// Decoding: chip select rising starts a frame and the device presents bit 15 of
// its answer (SpiDevice::pendingAnswer). Each falling clock edge (1 -> 0) while
// chip select is active takes one bit from the data line as it was held before
// the edge, and moves the answer on to the next bit, so answer bit n is on the
// status line while bit n is clocked. Chip select falling after exactly 16 bits
// completes the frame: the device receives it (SpiDevice::frameReceived) and the
// frame is recorded with the answer that was shifted out. Any other bit count is
// a partial frame: it is discarded and counted, and the device sees nothing.
// Outside a frame the status line reads as a 0 bit (bit 6 set), as an undriven
// line pulled up would.
//
// Other addresses: writes (base + 1 receives 0x40 at initialisation) are
// recorded but have no effect; reads return 0xFF. Reading the data register gives
// the last value written to it.
//
// giveio() succeeds unless a failure text was set with setGiveioFailure().
// openPort(address) succeeds for the base address only. setUnclaimable(true)
// models a port that opens but is held by another driver: openPort() says so,
// writes reach nothing and every read gives 0xFF, as on such a port.
//
// Inspection for tests:
//   dataWrites()      every value written to the data register, in order
//   otherWrites()     every write to any other address, in order
//   frames()          every completed frame: what the device received, what it sent
//   discardedFrames() how many partial frames were dropped
//   giveioCalls()     how often giveio() was called
//   clearRecords()    forgets all of the above (line state and device stay)
#include "PortIo.h"
#include "SpiDevice.h"

#include <cstdint>
#include <vector>

namespace gyro::sim {

class SimParallelPort final : public PortIo {
public:
    static constexpr std::int32_t DefaultBaseAddress = 0x378;

    struct Frame {
        std::uint16_t received; // the frame the device received
        std::uint16_t answered; // the word the device shifted out meanwhile
    };
    struct Write {
        std::int32_t port;
        std::int32_t value;
    };

    explicit SimParallelPort(SpiDevice& device, std::int32_t baseAddress = DefaultBaseAddress);

    void vbOut(std::int32_t port, std::int32_t value) override;
    std::int32_t vbInp(std::int32_t port) override;
    QString giveio() override;
    QString openPort(std::int32_t baseAddress) override;

    std::int32_t baseAddress() const { return base_; }
    void setBaseAddress(std::int32_t baseAddress) { base_ = baseAddress; }
    // A non-empty text makes giveio() fail with it.
    void setGiveioFailure(const QString& text) { giveioFailure_ = text; }
    void setUnclaimable(bool unclaimable) { unclaimable_ = unclaimable; }

    const std::vector<std::uint8_t>& dataWrites() const { return dataWrites_; }
    const std::vector<Write>& otherWrites() const { return otherWrites_; }
    const std::vector<Frame>& frames() const { return frames_; }
    int discardedFrames() const { return discardedFrames_; }
    int giveioCalls() const { return giveioCalls_; }
    void clearRecords();

private:
    void setLines(std::uint8_t lines);

    SpiDevice& device_;
    std::int32_t base_;
    QString giveioFailure_;
    bool unclaimable_ = false;

    std::uint8_t lines_ = 0; // last value on the data register
    bool inFrame_ = false;
    int bitCount_ = 0;
    std::uint16_t received_ = 0;
    std::uint16_t answer_ = 0;

    std::vector<std::uint8_t> dataWrites_;
    std::vector<Write> otherWrites_;
    std::vector<Frame> frames_;
    int discardedFrames_ = 0;
    int giveioCalls_ = 0;
};

} // namespace gyro::sim
