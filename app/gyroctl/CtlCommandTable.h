#pragma once
// The commands gyroctl knows, one row each: name, usage line, summary and the
// procedure that runs it. A command lives in a file of its own and joins by one
// row in CtlCommandTable.cpp; the parser and the usage text read this table.
#include "ConsoleUiHost.h"
#include "CtlOptions.h"
#include "GyroState.h"

#include <QTextStream>
#include <span>

namespace gyro {

// What a command runs with: the parsed options (its own arguments in
// options.arguments), the state with the interface chosen, the console host, and
// the two streams (stdout for data only, stderr for messages).
struct CtlContext {
    const CtlOptions& options;
    GyroState& g;
    ConsoleUiHost& ui;
    QTextStream& out;
    QTextStream& err;
    // Failures the host was told before the command ran (a settings-file warning),
    // so that only the command's own failures decide its exit status.
    int failuresAtStart = 0;
};

struct CtlCommand {
    const char* name;                // "read"
    const char* usage;               // "read NAME..."
    const char* summary;             // one line for the usage text
    int (*run)(CtlContext& context); // returns the exit status
};

std::span<const CtlCommand> CtlCommandTable();
// The row of that name, or nullptr.
const CtlCommand* FindCtlCommand(const QString& name);

// For commands that talk to the sensor: checks that an interface and (for the
// parallel port) an address are chosen, and brings the interface up. Returns
// ExitOk when the sensor can be reached, otherwise the exit status to end with
// (the reason is on stderr). Call it after the command's arguments were checked,
// so that a usage error never causes traffic.
int BringUpCtlInterface(CtlContext& context);

// Sets the Gyro_Out scale for the range the sensor holds, for a command that reads
// or converts rates. A range that is not valid is a warning on stderr (the scale
// stays); only a failed read of Sens_Avg fails (told on stderr).
bool ScaleForSensorRange(CtlContext& context);

// The exit status after a command's traffic: ExitOk when it succeeded and no
// transport or card failure was reported since the command began, otherwise
// ExitTransportFailed.
int StatusAfterTraffic(const CtlContext& context, bool succeeded = true);

} // namespace gyro
