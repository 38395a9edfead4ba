#pragma once
// The OS version Linux reports to the program: an NT-family system, version 5.1,
// build 2600, which the program classifies as "WinXP". That family takes the
// port-driver path when the parallel port is chosen, and there the port
// permission step (PortIo::giveio) does on Linux what the driver does on Windows.
#include "OsVersion.h"

namespace gyro {

class LinuxOsVersion final : public OsVersion {
public:
    OsVersionInfo query() override;
};

} // namespace gyro
