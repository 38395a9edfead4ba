#pragma once
// A USB SPI card emulated at the usbdevfs level, for running the real libusb
// backend without a card.
//
// Attached to the card's device node in a umockdev testbed (EmulatedUsbBus), it
// answers the ioctls libusb sends for a usbdevfs device: capabilities, claiming and
// releasing interface 0, choosing an alternate setting, clearing a halt, and URBs
// (submit, reap, discard). Control URBs give the string descriptors; bulk URBs on the
// OUT endpoint carry the card's requests and those on the IN endpoint its answers.
// The card's firmware and the sensor on chip-select channel 1 are the simulated card
// and sensor, so the emulated card speaks exactly the protocol the simulation does.
//
// Everything the program sends is checked: the endpoint and its direction, that it
// lies in the chosen alternate setting with a non-zero packet size, the command
// bytes and their length, and that an answer is read with the length its request
// gives. Each breach is kept as a text in violations().
//
// The ioctls arrive on umockdev's worker thread; every member is safe to call from
// the test's thread meanwhile.
#include "EmulatedCardLayout.h"
#include "FakeClock.h"
#include "SimSensor.h"
#include "SimUsbBus.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;
struct _UMockdevIoctlData;

namespace gyro::test {

struct CardFaults {
    bool neverAnswers = false;          // no URB ever completes (the card hangs)
    bool loseTransferAnswers = false;   // the answer of a word transfer never comes
    bool shortTransferAnswers = false;  // a word transfer's answer is one byte short
    bool stallTransferRequests = false; // the OUT endpoint stalls on a word transfer
    bool claimedElsewhere = false;      // another program holds interface 0
    int unplugAfterTransfers = -1;      // gone after this many answered word transfers
};

class EmulatedUsbCard {
public:
    explicit EmulatedUsbCard(EmulatedCardLayout layout = {});
    ~EmulatedUsbCard();
    EmulatedUsbCard(const EmulatedUsbCard&) = delete;
    EmulatedUsbCard& operator=(const EmulatedUsbCard&) = delete;

    const EmulatedCardLayout& layout() const { return layout_; }
    void setFaults(const CardFaults& faults);
    // False: every request fails with ENODEV, as for a card pulled out.
    void setPresent(bool present);

    // The sensor behind the card.
    void setSensorWord(int address, std::uint16_t word);
    std::vector<std::uint16_t> sensorFramesOut() const; // every frame the sensor received

    // What the program did.
    std::vector<std::vector<std::uint8_t>> requests() const; // OUT payloads, in order
    std::vector<std::string> violations() const;
    int altSetting() const;
    bool claimed() const;
    int clearedHalts() const;
    // How often the program opened the device node, made each usbdevfs request, and
    // submitted a bulk URB (one bulk transaction each).
    int opens() const;
    int calls(unsigned long request) const;
    int bulkUrbs() const;
    std::uint8_t wordDelay() const;
    std::uint8_t spiBits() const;
    // For each IN transfer the card never answered: how long it waited before the
    // program gave it up (discarded it).
    std::vector<double> abandonedAfterSeconds() const;

    // The bus side.
    // The 18 bytes of the device descriptor, as the simulated card gives them.
    const std::vector<std::uint8_t>& deviceDescriptor() const { return deviceDescriptor_; }
    _UMockdevIoctlBase* ioctlHandler() { return handler_; }

private:
    using Clock = std::chrono::steady_clock;
    struct Urb {
        _UMockdevIoctlData* data; // the client's struct usbdevfs_urb, one reference held
        int status = 0;
        int actualLength = 0;
        std::vector<std::uint8_t> answer; // bytes for an IN or control URB
        std::size_t answerOffset = 0;     // 8 for a control URB: after its setup packet
        Clock::time_point submitted;
    };

    static int onIoctl(_UMockdevIoctlBase* handler, _UMockdevIoctlClient* client, void* self);
    static void onConnected(_UMockdevIoctlBase* handler, _UMockdevIoctlClient* client, void* self);
    static void onVanished(_UMockdevIoctlBase* handler, _UMockdevIoctlClient* client, void* self);
    // False for a client that opened the card before it was last pulled out: its file
    // descriptor stays dead, as with a real device node.
    bool clientCurrent(_UMockdevIoctlClient* client) const;
    bool handleIoctl(_UMockdevIoctlClient* client);
    void submitUrb(_UMockdevIoctlClient* client);
    void reapUrb(_UMockdevIoctlClient* client);
    void discardUrb(_UMockdevIoctlClient* client);
    void endInFlightUrbs(); // as the kernel ends them when the device goes
    void claimInterface(unsigned int number, int& error);
    int driverRequest(_UMockdevIoctlClient* client);
    void setInterface(_UMockdevIoctlClient* client, int& error);

    void controlTransfer(Urb& urb, const std::uint8_t* buffer, int length);
    void bulkOut(Urb& urb, const std::uint8_t* buffer, int length);
    // False leaves the URB waiting, unanswered.
    bool bulkIn(Urb& urb, int length);
    bool endpointUsable(std::uint8_t endpoint);
    std::size_t checkedAnswerLength(const std::vector<std::uint8_t>& request);
    void violation(std::string text);

    EmulatedCardLayout layout_;
    sim::FakeClock clock_;
    sim::SimSensor sensor_;
    sim::SimUsbBus firmware_;
    EzUsbDriver::Handle firmwareHandle_ = 0;
    std::vector<std::uint8_t> deviceDescriptor_;
    _UMockdevIoctlBase* handler_ = nullptr;

    mutable std::mutex mutex_;
    CardFaults faults_;
    bool present_ = true;
    std::uint64_t plugging_ = 0;                                   // counts the times the card was plugged in
    std::map<const _UMockdevIoctlClient*, std::uint64_t> clients_; // client -> its plugging
    bool claimed_ = false;
    int altSetting_ = 0;
    bool outHalted_ = false;
    int clearedHalts_ = 0;
    bool answerDue_ = false;         // the last request waits for its answer
    std::size_t answerLength_ = 0;   // its length
    bool transferAnswerDue_ = false; // ... and it was a word transfer
    int answeredTransfers_ = 0;
    int opens_ = 0;
    std::map<unsigned long, int> calls_;
    int bulkUrbs_ = 0;
    std::deque<Urb> waiting_; // submitted, not answered
    std::deque<Urb> done_;    // answered, to be reaped
    std::vector<std::vector<std::uint8_t>> requests_;
    std::vector<std::string> violations_;
    std::vector<double> abandoned_;
};

} // namespace gyro::test
