#pragma once
// Making sure the port I/O driver is installed for automatic start, through the
// registry and a batch file that runs the driver installer.
#include "GyroState.h"
#include "Registry.h"

namespace gyro {

inline const QString PortDriverServiceKey = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\giveio");

void InstallPortDriver(GyroState& g);
// A string value's text, a 32-bit number as decimal text; empty for anything else.
QString ReadRegistryText(GyroState& g, const QString& key, const QString& valueName);
// Returns the system's result code (0 on success).
long WriteRegistryValue(GyroState& g, const QString& key, const QString& valueName,
                        const RegistryValue& value);
// Runs the command line and waits; the exit code, or -1 when it could not start.
int RunAndWait(GyroState& g, const QString& commandLine);

} // namespace gyro
