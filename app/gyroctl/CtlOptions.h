#pragma once
// The command line of gyroctl: options and one command with its arguments.
#include "SimFaults.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace gyro {

struct CtlOptions {
    bool simulate = false;
    bool rawPortAccess = false;
    std::optional<std::int16_t> interfaceType; // 0 none, 1 parallel, 2 USB; default from CommPort.cfg
    std::optional<std::int16_t> portAddress;   // default from CommPort.cfg
    QString spiTracePath;
    std::vector<sim::SimFault> simFaults; // --sim-fault, with --simulate only
    bool simStill = false;                // --sim-still, with --simulate only
    bool simBusTiming = false;            // --sim-bus-timing, with --simulate only
    bool simFullSpeed = false;            // --sim-full-speed, with --simulate only
    QString command;                      // a name of CtlCommandTable()
    QStringList arguments;
};

// Exit codes.
constexpr int ExitOk = 0;
constexpr int ExitTransportFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 130; // Ctrl+C, SIGTERM or SIGHUP ended a run early

// Parses the arguments after the program name. On a usage error returns nullopt and
// a message naming the problem in `error`; `--help` gives nullopt and an empty error,
// and so does `--version`, which also sets `versionAsked` when given.
std::optional<CtlOptions> ParseCtlArguments(const QStringList& arguments, QString* error,
                                            bool* versionAsked = nullptr);

QString CtlUsageText();
// "gyroctl VERSION", the answer to --version.
QString CtlVersionText();

// Strict hex: one to four hex digits, optionally after "0x". Unlike the windows'
// lenient entry, a script's typo must not turn into a write of a wrong value.
std::optional<std::int32_t> ParseStrictHex(const QString& text);

} // namespace gyro
