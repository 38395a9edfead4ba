#pragma once
// The commands of gyroctl over a prepared state: the same register access, card
// discovery and register table as the windows use.
#include "ConsoleUiHost.h"
#include "CtlOptions.h"
#include "GyroState.h"

#include <QTextStream>

namespace gyro {

// Runs options.command with the interface already chosen in g (InterfaceType,
// PortAddress). Writes results to `out` and problems to `err`; returns the exit code.
int RunCtlCommand(const CtlOptions& options, GyroState& g, ConsoleUiHost& ui, QTextStream& out,
                  QTextStream& err);

} // namespace gyro
