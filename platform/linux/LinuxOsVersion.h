#pragma once
// The OS version Linux reports to the program: Linux, with the kernel's version.
// The parallel port needs no driver installed here: the kernel's parallel port
// drivers are always there, and PortIo::giveio() checks the access (lp group for
// ppdev, root for raw ports).
#include "OsVersion.h"

namespace gyro {

class LinuxOsVersion final : public OsVersion {
public:
    OsVersionInfo query() override;
    bool portDriverNeeded() override { return false; }
};

} // namespace gyro
