#pragma once
// The program on the native backend set (libusb), as gyroctl sets it up: USB
// interface, register map, waits that watch the monotonic clock.
#include "BackendTable.h"
#include "GyroState.h"
#include "RealClock.h"
#include "RecordingUiHost.h"
#include "RegisterMap.h"

#include <memory>

namespace gyro::test {

struct NativeProgram {
    NativeProgram()
    {
        QString error;
        backends = MakeBackends(QStringLiteral("native"), {}, &error);
        const Platform& native = backends->platform();
        platform =
            std::make_unique<Platform>(Platform{native.description, native.usb, native.port, native.registry,
                                                native.processes, native.os, native.clock, busyLoop});
        g = std::make_unique<GyroState>(*platform, ui);
        g->DelayCalibrated = true;
        SetInterfaceDefaults(*g);
        g->InterfaceType = 2;
    }

    DeadlineBusyLoop busyLoop;
    std::unique_ptr<PlatformSet> backends;
    std::unique_ptr<Platform> platform;
    RecordingUiHost ui;
    std::unique_ptr<GyroState> g;
};

} // namespace gyro::test
