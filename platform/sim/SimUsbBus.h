#pragma once
// The simulated USB SPI cards behind the EZ-USB driver interface.
//
// Up to four cards sit under the device names "Ezusb-0".."Ezusb-3" (slots 0..3).
// A default-constructed bus has no cards. Each card answers the four driver
// requests with the usual buffer layouts:
//   - device descriptor: the 18 standard bytes (vendor at offset 8, product at 10,
//     string indexes 1 and 2 for the two texts), the rest of the buffer untouched;
//   - string descriptor: index 0 the language table (English, 0x0409), 1 and 2 the
//     configured texts as length byte, type 3, UTF-16LE; as much as the output holds;
//   - pipe table: 356 bytes, pipes 0 (0x02 bulk out), 1 (0x86 bulk in), 2 (0x04 bulk
//     out) and 3 (0x88 bulk in), all with the configured maximum packet size;
//   - pipe transfer: pipe 0 takes a request, pipe 1 gives the answer to the last
//     pipe-0 request (again on every read; a request without an answer, or no request
//     yet, leaves nothing to read and the read fails as a timed-out one would).
// The card's command protocol on pipe 0 (first byte the command):
//   0 version -> major, minor;  1 read settings -> word delay, SPI bits;
//   11 set word delay (0x0B, delay);  12 set SPI bits (0x0C, bits);
//   13 / 14 transfer (command, channel, n, n big-endian words) -> n big-endian words.
// A transfer clocks each word through the SpiDevice on its chip-select channel
// (1..5). A channel with no device reads back 0xFFFF: nothing drives MISO and the
// card's pull-up holds it high. The polarity (13 or 14), the word delay and the SPI
// bits are stored and reported but change nothing in the simulated data path.
//
// Test and demo API:
//   attachCard(slot, config) / detachCard(slot)    plug or unplug a card
//   connectChannel(channel, device)                 a device on that channel of every card
//   connectChannel(slot, channel, device)           ... of one card (wins over the former)
//   failRequests(slot, ioctlCode)                   every request with that code fails
//   failVersionRequest(slot)                        the version command is refused
//   failPipe(slot, pipe)                            every transfer on that pipe fails
//   stopAnswering(slot) / setAnswering(slot, bool)  every request fails, as when unplugged
//   clearFaults(slot)                               undoes the four above and the two below
//   stopAnsweringAfter(slot, n)                     n more SPI transfers go through, then
//                                                   the card answers nothing (a transfer
//                                                   that fails mid-loop)
//   unplugAfter(slot, n, m)                         n more SPI transfers, then the card is
//                                                   unplugged (that transfer fails); it is
//                                                   plugged back, as it wakes up, once m
//                                                   attempts to open it have failed (each
//                                                   card search tries once)
//   pipe0Requests()                                 every accepted pipe-0 request in order,
//                                                   with its slot (a bounded log; see
//                                                   setRequestLog, clearRequests)
//   wordDelay(slot), spiBits(slot)                  the card's current settings
//   openCount(slot), closeCount(slot), openHandles()
//   failedRequests()                                requests that failed so far
//   setBusTiming(clock)                             each bulk transaction on pipes 0 and 1
//                                                   completes at the next frame boundary of
//                                                   the card's speed on that clock (1 ms full
//                                                   speed, 125 us high speed); nullptr: at once
// Devices passed to connectChannel are not owned and must outlive their use.
#include "Clock.h"
#include "EzUsbDriver.h"
#include "EzUsbLayout.h"
#include "SpiDevice.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace gyro::sim {

struct SimUsbCardConfig {
    std::uint16_t vendorId = 0x2C7B;
    std::uint16_t productId = 0x3A51; // 0x3A51 "FIFO4", 0x3A62 "MCP"
    QString descriptor1 = QStringLiteral("USB SPI Card");
    QString descriptor2 = QStringLiteral("SPI Interface");
    std::uint8_t firmwareMajor = 2;
    std::uint8_t firmwareMinor = 3;
    std::uint16_t pipe3MaxPacket = 512; // 64 full speed, 512 high speed
    // The settings the card wakes up with.
    std::uint8_t wordDelay = 10;
    std::uint8_t spiBits = 0x78;
};

struct SimUsbRequest {
    int slot;
    std::vector<std::uint8_t> bytes;
};

class SimUsbBus final : public EzUsbDriver {
public:
    static constexpr int Slots = EzUsbDeviceSlots;
    static constexpr int Channels = 5;
    static constexpr std::uint16_t FloatingWord = 0xFFFF;
    static constexpr std::size_t DefaultRequestLogLimit = 10000;

    SimUsbBus();

    void attachCard(int slot, SimUsbCardConfig config = {});
    void detachCard(int slot);
    bool hasCard(int slot) const;

    void connectChannel(int channel, SpiDevice* device);
    void connectChannel(int slot, int channel, SpiDevice* device);

    void failRequests(int slot, std::uint32_t ioctlCode);
    void failVersionRequest(int slot);
    void failPipe(int slot, std::uint32_t pipe);
    void stopAnswering(int slot) { setAnswering(slot, false); }
    void setAnswering(int slot, bool answering);
    void clearFaults(int slot);
    void stopAnsweringAfter(int slot, int transfers);
    void unplugAfter(int slot, int transfers, int failedOpens);

    // The log keeps the last `limit` requests; off, requests cost no allocation.
    void setRequestLog(bool on, std::size_t limit = DefaultRequestLogLimit);
    const std::deque<SimUsbRequest>& pipe0Requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

    std::uint8_t wordDelay(int slot) const;
    std::uint8_t spiBits(int slot) const;
    int openCount(int slot) const;
    int closeCount(int slot) const;
    int openHandles() const { return static_cast<int>(handles_.size()); }
    int failedRequests() const { return failedRequests_; }
    void setBusTiming(Clock* clock) { busClock_ = clock; }
    // The frame of a card's speed: 125 us for a high-speed card, 1 ms for a full-speed one.
    static double busFrameSeconds(const SimUsbCardConfig& config);

    Handle open(const QString& deviceName) override;
    bool ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                   std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override;
    void close(Handle handle) override;

private:
    struct Card {
        SimUsbCardConfig config;
        std::uint64_t generation = 0; // tells a re-plugged card from the one a handle opened
        std::uint8_t wordDelay = 0;
        std::uint8_t spiBits = 0;
        bool answering = true;
        bool failVersion = false;
        std::vector<std::uint32_t> failingCodes;
        std::vector<std::uint32_t> failingPipes;
        std::array<SpiDevice*, Channels + 1> channels{}; // index 0 unused
        std::array<std::uint8_t, 512> answer{};          // 255 words at most
        std::size_t answerLength = 0;
        std::optional<int> transfersUntilStop;   // card-stops fault
        std::optional<int> transfersUntilUnplug; // unplug fault
        int failedOpensWhileUnplugged = 0;
    };
    // A card unplugged by the unplug fault, waiting to come back.
    struct Unplugged {
        SimUsbCardConfig config;
        std::array<SpiDevice*, Channels + 1> channels{};
        int failedOpensLeft = 0;
    };
    struct OpenHandle {
        Handle handle;
        int slot;
        std::uint64_t generation;
    };

    Card* cardAt(int slot);
    const Card* cardAt(int slot) const;
    const OpenHandle* findHandle(Handle handle) const;
    Card* cardOf(const OpenHandle& opened);
    SpiDevice* deviceOn(const Card& card, int channel) const;

    bool deviceDescriptor(const Card& card, std::span<std::uint8_t> output, std::uint32_t& returned) const;
    bool stringDescriptor(const Card& card, std::span<const std::uint8_t> input,
                          std::span<std::uint8_t> output, std::uint32_t& returned) const;
    bool pipeTable(const Card& card, std::span<std::uint8_t> output, std::uint32_t& returned) const;
    bool pipeTransfer(Card& card, int slot, std::span<const std::uint8_t> input,
                      std::span<std::uint8_t> output, std::uint32_t& returned);
    bool request(Card& card, int slot, std::span<const std::uint8_t> bytes);
    bool answer(const Card& card, std::span<std::uint8_t> output, std::uint32_t& returned) const;
    // Counts one SPI transfer against the scheduled faults; false when it must fail.
    bool transferAllowed(Card& card, int slot);
    void replugWhenDue(int slot);
    void completeAtFrameBoundary(const Card& card);

    std::array<std::optional<Card>, Slots> cards_;
    std::array<std::optional<Unplugged>, Slots> unplugged_;
    int unplugNow_ = -1; // the slot whose card goes at the end of the current request
    std::array<SpiDevice*, Channels + 1> busChannels_{};
    std::array<int, Slots> opens_{};
    std::array<int, Slots> closes_{};
    std::vector<OpenHandle> handles_;
    Handle nextHandle_ = 1;
    std::uint64_t nextGeneration_ = 1;
    int failedRequests_ = 0;

    Clock* busClock_ = nullptr;

    bool logRequests_ = true;
    std::size_t logLimit_ = DefaultRequestLogLimit;
    std::deque<SimUsbRequest> requests_;
};

} // namespace gyro::sim
