#pragma once
// Test backends on simulated time and a state over them with a recording UI host.
#include "FakeClock.h"
#include "GyroState.h"
#include "NullBackends.h"
#include "RecordingUiHost.h"

#include <memory>

namespace gyro::test {

// UnusedBackends on simulated time at 1 ns a busy-loop turn (10'000 turns make
// 10 us). A test swaps in the backends it exercises, and may bring its own busy loop.
struct TestBackends : UnusedBackends {
    sim::FakeClock clock;
    sim::FakeBusyLoop busy{clock, 1e-9};

    Platform platform(BackendSwap swap = {}, BusyLoop* busyLoop = nullptr)
    {
        return UnusedBackends::platform(clock, busyLoop != nullptr ? *busyLoop : busy, swap);
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
