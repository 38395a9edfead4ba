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
};

} // namespace gyro
