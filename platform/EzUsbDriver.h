#pragma once
// The EZ-USB general-purpose driver as the program sees it: a device opened by
// name ("Ezusb-0".."Ezusb-3"), device I/O control requests with an input and an
// output buffer, and close. Backends: the simulated card, libusb, Win32.
#include <QString>
#include <cstdint>
#include <span>

namespace gyro {

class EzUsbDriver {
public:
    using Handle = std::intptr_t; // > 0 is an open device

    // Driver request codes.
    static constexpr std::uint32_t IoctlGetPipeInfo = 0x222000;
    static constexpr std::uint32_t IoctlGetDeviceDescriptor = 0x222004;
    static constexpr std::uint32_t IoctlGetStringDescriptor = 0x222044;
    static constexpr std::uint32_t IoctlPipeTransfer = 0x222051;

    virtual ~EzUsbDriver() = default;

    // Opens the device; returns a handle > 0, or a value <= 0 when it cannot be opened.
    virtual Handle open(const QString& deviceName) = 0;

    // One device I/O control request. `output` is the data area: for a transfer on
    // an OUT pipe its bytes go to the device, for an IN pipe the answer lands there.
    // `bytesReturned` receives the count the driver reports. Returns success.
    virtual bool ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                           std::span<std::uint8_t> output, std::uint32_t& bytesReturned) = 0;

    virtual void close(Handle handle) = 0;

    // A search is starting: the next open looks at the attached devices afresh, so a
    // card pulled out and plugged in again while nothing used it is found as it is now.
    virtual void rescan() {}

    // Why the last open() failed although a card is there (in use by another program,
    // no permission, ...), in words for the user; empty when it did not fail that way
    // or the driver cannot tell.
    virtual QString lastOpenFailure() const { return {}; }
};

} // namespace gyro
