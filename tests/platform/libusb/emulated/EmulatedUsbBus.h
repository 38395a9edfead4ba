#pragma once
// A umockdev testbed holding one USB bus with a root hub, into whose ports emulated
// cards are plugged and from which they are pulled again. libusb in this process
// (and in child processes, which inherit the testbed through the environment) sees
// the cards as real devices: sysfs attributes, udev properties, a device node and
// hotplug events. Needs umockdev's preload library in the process (PreloadMain.cpp
// sees to that).
#include "EmulatedUsbCard.h"

#include <string>
#include <vector>

struct _UMockdevTestbed;

namespace gyro::test {

class EmulatedUsbBus {
public:
    EmulatedUsbBus();
    ~EmulatedUsbBus();
    EmulatedUsbBus(const EmulatedUsbBus&) = delete;
    EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;

    // Plugs `card` into root-hub port `port` (1..); it gets the next free device
    // address, as a real bus hands out. Throws std::runtime_error when umockdev refuses.
    void plug(EmulatedUsbCard& card, int port);
    // Pulls the card out: its open handles fail with ENODEV and it leaves the bus.
    void unplug(EmulatedUsbCard& card);
    // Leaves the card's device node to root alone (mode 0600), as without a udev rule,
    // while the rest of the testbed stays readable for every user.
    void restrictToRoot(EmulatedUsbCard& card);

private:
    struct Plugged {
        EmulatedUsbCard* card;
        std::string sysPath; // /sys/devices/usb1/1-N
        std::string devNode; // /dev/bus/usb/001/AAA
    };

    void remove(const Plugged& plugged); // the device leaves the testbed

    _UMockdevTestbed* testbed_;
    std::vector<Plugged> plugged_;
    int nextAddress_ = 2; // the root hub has 1
};

constexpr const char* UmockdevPreloadLibrary = "libumockdev-preload.so.0";

// True when umockdev's preload library is loaded into this process.
bool InEmulatedUsbEnvironment();

} // namespace gyro::test
