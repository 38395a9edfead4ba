#pragma once
// Test backends on simulated time and a state over them with a recording UI host.
#include "FakeClock.h"
#include "GyroState.h"
#include "InMemoryRegistry.h"
#include "NullBackends.h"
#include "RecordingUiHost.h"

#include <memory>

namespace gyro::test {

// The backends a test exercises in place of TestBackends' own.
struct BackendSwap {
    EzUsbDriver* usb = nullptr;
    PortIo* port = nullptr;
    ProcessRunner* processes = nullptr;
    BusyLoop* busyLoop = nullptr;
};

// The backends a test does not exercise: no USB device, a port that reads all
// ones, an in-memory registry, no processes, an NT-family system, and simulated
// time at 1 ns a busy-loop turn (10'000 turns make 10 us). A test swaps in the
// backends it does exercise.
struct TestBackends {
    sim::FakeClock clock;
    sim::FakeBusyLoop busy{clock, 1e-9};
    NullUsb usb;
    NullPort port;
    InMemoryRegistry registry;
    NullProcesses processes;
    FixedOsVersion os;

    Platform platform(BackendSwap swap = {})
    {
        return Platform{QStringLiteral("Test"),
                        swap.usb != nullptr ? *swap.usb : usb,
                        swap.port != nullptr ? *swap.port : port,
                        registry,
                        swap.processes != nullptr ? *swap.processes : processes,
                        os,
                        clock,
                        swap.busyLoop != nullptr ? *swap.busyLoop : busy};
    }
};

// A state on the test backends alone, for core procedures that need no transport.
struct CoreFixture {
    TestBackends backends;
    sim::FakeClock& clock = backends.clock;
    sim::FakeBusyLoop& busy = backends.busy;
    Platform platform = backends.platform();
    RecordingUiHost ui;
    GyroState g{platform, ui};
};

} // namespace gyro::test
