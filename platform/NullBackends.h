#pragma once
// Backends that reach nothing: no USB device opens, the port reads all ones, no
// process starts. For tools, benchmarks and tests that need only part of a platform.
#include "EzUsbDriver.h"
#include "InMemoryRegistry.h"
#include "OsVersion.h"
#include "Platform.h"
#include "PortIo.h"
#include "ProcessRunner.h"
#include "UiHost.h"

namespace gyro {

class NullUsb final : public EzUsbDriver {
public:
    Handle open(const QString&) override { return 0; }
    bool ioControl(Handle, std::uint32_t, std::span<const std::uint8_t>, std::span<std::uint8_t>,
                   std::uint32_t&) override
    {
        return false;
    }
    void close(Handle) override {}
};

class NullPort final : public PortIo {
public:
    void vbOut(std::int32_t, std::int32_t) override {}
    std::int32_t vbInp(std::int32_t) override { return 0xFF; }
    QString giveio() override { return QStringLiteral("No parallel port is available."); }
};

class NullProcesses final : public ProcessRunner {
public:
    std::optional<int> runAndWait(const QString&) override { return std::nullopt; }
};

class FixedOsVersion final : public OsVersion {
public:
    explicit FixedOsVersion(OsVersionInfo info = {2, 5, 1, 2600}) : info_(info) {}
    OsVersionInfo query() override { return info_; }
    void set(OsVersionInfo info) { info_ = info; }

private:
    OsVersionInfo info_;
};

// Shows nothing and answers OK: for benchmarks, where no message is expected.
class SilentUiHost final : public UiHost {
public:
    MsgResult message(const QString&, MsgButtons, MsgIcon, const QString&) override { return MsgResult::Ok; }
    void yield() override {}
    void setBusyCursor(bool) override {}
};

// The backends a caller exercises in place of UnusedBackends' own.
struct BackendSwap {
    EzUsbDriver* usb = nullptr;
    PortIo* port = nullptr;
    ProcessRunner* processes = nullptr;
};

// The backends a benchmark or test does not exercise: no USB device, a port that
// reads all ones, an in-memory registry, no processes, an NT-family system. The
// caller brings the clock and busy loop and swaps in what it exercises.
struct UnusedBackends {
    NullUsb usb;
    NullPort port;
    InMemoryRegistry registry;
    NullProcesses processes;
    FixedOsVersion os;

    Platform platform(Clock& clock, BusyLoop& busyLoop, BackendSwap swap = {},
                      const QString& description = QStringLiteral("Test"))
    {
        return Platform{description,
                        swap.usb != nullptr ? *swap.usb : usb,
                        swap.port != nullptr ? *swap.port : port,
                        registry,
                        swap.processes != nullptr ? *swap.processes : processes,
                        os,
                        clock,
                        busyLoop};
    }
};

} // namespace gyro
