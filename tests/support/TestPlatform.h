#pragma once
// A GyroState on simulated time with a recording UI host, for tests of core
// procedures that need no transport: USB and port calls go to null backends.
#include "FakeClock.h"
#include "GyroState.h"
#include "InMemoryRegistry.h"
#include "NullBackends.h"
#include "RecordingUiHost.h"

#include <memory>

namespace gyro::test {

// 1 ns per loop turn: 10'000 turns make 10 us.
struct CoreFixture {
    sim::FakeClock clock;
    sim::FakeBusyLoop busy{clock, 1e-9};
    NullUsb usb;
    NullPort port;
    InMemoryRegistry registry;
    NullProcesses processes;
    FixedOsVersion os;
    Platform platform{QStringLiteral("Test"), usb, port, registry, processes, os, clock, busy};
    RecordingUiHost ui;
    GyroState g{platform, ui};
};

} // namespace gyro::test
