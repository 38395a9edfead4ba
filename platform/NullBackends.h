#pragma once
// Backends that reach nothing: no USB device opens, the port reads all ones, no
// process starts. For tools and tests that need only part of a platform.
#include "EzUsbDriver.h"
#include "OsVersion.h"
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

} // namespace gyro
