#pragma once
// The operating-system family the program distinguishes: "Win95", "Win98",
// "WinNT" or "WinXP". The NT family needs the port driver before the parallel
// port can be used; the 95 family cannot use the USB card.
#include "OsVersion.h"

#include <QString>

namespace gyro {

QString OsFamilyName(const OsVersionInfo& info);
bool IsNtFamily(const QString& osName);

} // namespace gyro
