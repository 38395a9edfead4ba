#pragma once
// The operating-system family the program distinguishes: "Win95", "Win98",
// "WinNT", "WinXP" or "Linux". On the NT family and on Linux the parallel port
// must be opened to the program before use (on the NT family through the port
// driver); the 95 family cannot use the USB card.
#include "OsVersion.h"

#include <QString>

namespace gyro {

QString OsFamilyName(const OsVersionInfo& info);
bool IsNtFamily(const QString& osName);
// Whether the system guards its I/O ports: the program is given the parallel
// port's (PortIo::giveio) once per run before using it.
bool PortsAreGuarded(const QString& osName);

} // namespace gyro
