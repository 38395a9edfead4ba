#pragma once
// The EZ-USB general-purpose driver itself: "\\.\Ezusb-0".."\\.\Ezusb-3" opened
// with CreateFileA (for writing, shared for writing, existing devices only), the
// requests passed to DeviceIoControl as they are, CloseHandle, and GetLastError
// for what the user is told.
#include "EzUsbDriver.h"
#include "EzUsbSystemCalls.h"

namespace gyro {

class Win32EzUsbDriver final : public EzUsbDriver {
public:
    explicit Win32EzUsbDriver(const EzUsbSystemCalls& calls = SystemEzUsbCalls) : calls_(calls) {}

    Handle open(const QString& deviceName) override;
    bool ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                   std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override;
    void close(Handle handle) override;
    QString lastOpenFailure() const override { return lastOpenFailure_; }

private:
    EzUsbSystemCalls calls_;
    QString lastOpenFailure_;
};

} // namespace gyro
