#pragma once
// Byte access to I/O port addresses, as the parallel-port transport needs it.
// Backends: the simulated port, Linux (ppdev or raw ioperm), Win32.
#include <QString>
#include <cstdint>

namespace gyro {

class PortIo {
public:
    virtual ~PortIo() = default;

    virtual void vbOut(std::int32_t port, std::int32_t value) = 0;
    virtual std::int32_t vbInp(std::int32_t port) = 0;

    // Opens the ports to this process. Returns an empty text on success, otherwise
    // a message for the user that says what failed and how to fix it.
    virtual QString giveio() = 0;

    // Makes the port whose base address is `baseAddress` (0..65535) ready for use,
    // so that a port that is missing or held by someone else is found before any
    // frame goes out. Returns an empty text on success, otherwise a message for the
    // user that names the port and the fix. Backends that reach every address at
    // once (raw port I/O) have nothing to check.
    virtual QString openPort(std::int32_t baseAddress)
    {
        static_cast<void>(baseAddress);
        return {};
    }
};

} // namespace gyro
