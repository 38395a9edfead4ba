#pragma once
// Making sure the port I/O driver is installed for automatic start, through the
// registry and a batch file that runs the driver installer.
//
// The batch file "temp.bat" lies in the program's folder, written with the build
// system's path separator ("\temp.bat" on Windows, "/temp.bat" elsewhere) and its
// text line ends; every path in it and in the command line is in double quotes, so
// a folder with blanks works.
#include "Failure.h"
#include "GyroState.h"
#include "PortDriverService.h"
#include "Registry.h"

#include <optional>

namespace gyro {

// Installs the driver unless its service already starts with the system. A
// failure (batch file not written, installer not started or not successful) is
// "The required I/O drivers could not be installed." titled "Error", with the
// reason when there is one.
Outcome InstallPortDriver(GyroState& g);
// A string value's text, a 32-bit number as decimal text; empty for anything else.
QString ReadRegistryText(GyroState& g, const QString& key, const QString& valueName);
// Returns the system's result code (0 on success).
long WriteRegistryValue(GyroState& g, const QString& key, const QString& valueName,
                        const RegistryValue& value);
// Runs the command line and waits without a time limit; the exit code, or nullopt
// when the process could not be started.
std::optional<int> RunAndWait(GyroState& g, const QString& commandLine);

} // namespace gyro
