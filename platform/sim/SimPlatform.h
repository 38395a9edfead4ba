#pragma once
// The whole simulated platform: the sensor, a USB SPI card whose chip-select
// channel 1 reaches it, a parallel port wired to it, an in-memory registry, a
// process runner that plays the port driver installer, and time. In real time
// (the program) the sensor is paced by the system clock and the waits really
// spin; in simulated time (tests) a fake clock moves only with the waits.
#include "FakeClock.h"
#include "InMemoryRegistry.h"
#include "NullBackends.h"
#include "Platform.h"
#include "RealClock.h"
#include "SimFaults.h"
#include "SimParallelPort.h"
#include "SimProcessRunner.h"
#include "SimSensor.h"
#include "SimUsbBus.h"

#include <cstdint>
#include <vector>

namespace gyro::sim {

struct SimOptions {
    bool realTime = false;        // system clock and a real busy loop
    std::uint32_t seed = 1;       // the sensor's noise and motion
    double secondsPerTurn = 1e-9; // simulated time: the modelled PC's busy-loop speed
    bool usbCardAttached = true;  // a card at "Ezusb-0" (high speed, as the simulated card's default)
    std::int32_t portAddress = 0x378;
    std::vector<SimFault> faults = {}; // set up on the card at "Ezusb-0" and the port
    bool still = false;                // the sensor at rest: no motion profile, only bias and noise
    bool fullSpeedCard = false;        // the card at "Ezusb-0" is a full-speed one (64-byte pipe 3)
    bool busTiming = false; // bulk transactions complete at the card's frame boundaries on the clock
};

class SimPlatform final : public PlatformSet {
public:
    explicit SimPlatform(SimOptions options = {});
    ~SimPlatform() override;

    Platform& platform() override { return platform_; }

    SimSensor& sensor() { return sensor_; }
    SimUsbBus& usb() { return usb_; }
    SimParallelPort& parallelPort() { return port_; }
    SimProcessRunner& processes() { return processes_; }
    InMemoryRegistry& registry() { return registry_; }
    FixedOsVersion& os() { return os_; }
    Clock& clock() { return *clock_; }
    // Simulated time only; nullptr in real time.
    FakeClock* fakeClock() { return realTime_ ? nullptr : &fakeClock_; }
    FakeBusyLoop* fakeBusyLoop() { return realTime_ ? nullptr : &fakeBusyLoop_; }

    void applyFault(const SimFault& fault);

private:
    bool realTime_;
    FakeClock fakeClock_;
    FakeBusyLoop fakeBusyLoop_;
    RealClock realClock_;
    RealBusyLoop realBusyLoop_;
    Clock* clock_;
    BusyLoop* busyLoop_;
    SimSensor sensor_;
    SimUsbBus usb_;
    SimParallelPort port_;
    InMemoryRegistry registry_;
    SimProcessRunner processes_;
    FixedOsVersion os_;
    Platform platform_;
};

} // namespace gyro::sim
