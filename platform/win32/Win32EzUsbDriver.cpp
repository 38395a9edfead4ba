#include "Win32EzUsbDriver.h"

#include "SystemErrorText.h"

namespace gyro {

namespace {

HANDLE handleOf(EzUsbDriver::Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// No device of that name: no card there, which is nothing to tell.
bool meansNoDevice(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

EzUsbDriver::Handle Win32EzUsbDriver::open(const QString& deviceName)
{
    lastOpenFailure_.clear();
    const QByteArray path = QByteArrayLiteral("\\\\.\\") + deviceName.toLatin1();
    const HANDLE device = calls_.createFileA(path.constData(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE || device == nullptr) {
        const DWORD error = calls_.getLastError();
        if (!meansNoDevice(error))
            lastOpenFailure_ = QStringLiteral("%1: %2").arg(deviceName, SystemErrorText(error));
        return 0;
    }
    return reinterpret_cast<Handle>(device);
}

bool Win32EzUsbDriver::ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                                 std::span<std::uint8_t> output, std::uint32_t& bytesReturned)
{
    DWORD returned = 0;
    // The driver reads the input area only; the call's type wants it writable.
    const BOOL ok = calls_.deviceIoControl(handleOf(handle), code, const_cast<std::uint8_t*>(input.data()),
                                           static_cast<DWORD>(input.size()), output.data(),
                                           static_cast<DWORD>(output.size()), &returned, nullptr);
    bytesReturned = returned;
    return ok != FALSE;
}

void Win32EzUsbDriver::close(Handle handle)
{
    if (handle > 0)
        calls_.closeHandle(handleOf(handle));
}

} // namespace gyro
