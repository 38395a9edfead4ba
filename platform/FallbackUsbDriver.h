#pragma once
// Two EZ-USB driver backends behind one: each device name is opened through the
// first, and where that has no device of the name, through the second. On Windows
// the EZ-USB driver comes first and libusb (WinUSB) second, so a card works with
// either driver installed. Handles are this object's own; each maps to the
// backend that opened it.
#include "EzUsbDriver.h"

#include <vector>

namespace gyro {

class FallbackUsbDriver final : public EzUsbDriver {
public:
    FallbackUsbDriver(EzUsbDriver& first, EzUsbDriver& second) : first_(first), second_(second) {}

    Handle open(const QString& deviceName) override;
    bool ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                   std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override;
    void close(Handle handle) override;
    void rescan() override;
    // The first backend's reason when it saw the device but could not open it,
    // otherwise the second's.
    QString lastOpenFailure() const override { return lastOpenFailure_; }

private:
    struct Opened {
        Handle handle;
        EzUsbDriver* backend;
        Handle backendHandle;
    };
    const Opened* find(Handle handle) const;

    EzUsbDriver& first_;
    EzUsbDriver& second_;
    std::vector<Opened> opened_;
    Handle nextHandle_ = 1;
    QString lastOpenFailure_;
};

} // namespace gyro
