#include "FallbackUsbDriver.h"

#include <algorithm>

namespace gyro {

EzUsbDriver::Handle FallbackUsbDriver::open(const QString& deviceName)
{
    for (EzUsbDriver* backend : {&first_, &second_}) {
        const Handle handle = backend->open(deviceName);
        if (handle > 0) {
            lastOpenFailure_.clear();
            opened_.push_back({nextHandle_, backend, handle});
            return nextHandle_++;
        }
    }
    lastOpenFailure_ = first_.lastOpenFailure();
    if (lastOpenFailure_.isEmpty())
        lastOpenFailure_ = second_.lastOpenFailure();
    return 0;
}

const FallbackUsbDriver::Opened* FallbackUsbDriver::find(Handle handle) const
{
    const auto it = std::find_if(opened_.begin(), opened_.end(),
                                 [handle](const Opened& o) { return o.handle == handle; });
    return it == opened_.end() ? nullptr : &*it;
}

bool FallbackUsbDriver::ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                                  std::span<std::uint8_t> output, std::uint32_t& bytesReturned)
{
    const Opened* opened = find(handle);
    if (opened == nullptr)
        return false;
    return opened->backend->ioControl(opened->backendHandle, code, input, output, bytesReturned);
}

void FallbackUsbDriver::close(Handle handle)
{
    const Opened* opened = find(handle);
    if (opened == nullptr)
        return;
    opened->backend->close(opened->backendHandle);
    opened_.erase(opened_.begin() + (opened - opened_.data()));
}

void FallbackUsbDriver::rescan()
{
    first_.rescan();
    second_.rescan();
}

} // namespace gyro
