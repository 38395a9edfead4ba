#pragma once
// Port I/O with the processor's own in/out instructions, after the kernel has
// opened the I/O ports to this process (ioperm). Needs root (CAP_SYS_RAWIO) and
// an x86 processor; an explicit choice, never the default. Until giveio()
// succeeds every write is ignored and every read gives 0xFF, so an access
// without permission can never fault.
#include "PortIo.h"

namespace gyro {

class RawPortIo final : public PortIo {
public:
    void vbOut(std::int32_t port, std::int32_t value) override;
    std::int32_t vbInp(std::int32_t port) override;
    // Opens every I/O port address to this thread (the program's only one).
    QString giveio() override;

private:
    bool granted_ = false;
};

} // namespace gyro
