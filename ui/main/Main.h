#pragma once
// The program's start: the start-up message while the delay loop is calibrated,
// the interface defaults, the settings file, the register map, then the main window.
#include "InterfaceSettings.h"
#include "frmForm1.h"
#include "frmMsg.h"

#include <functional>
#include <memory>
#include <optional>

namespace gyro {

struct ProgramWindows {
    std::unique_ptr<frmMsg> message; // hidden once the main window is up, kept for the run
    std::unique_ptr<frmForm1> main;  // null when start-up stopped before it
    // The values CommPort.cfg gave (over the defaults); none when start-up stopped
    // before the file was read.
    std::optional<InterfaceValues> loadedSettings;
    // The interface the command line chose for this run over the file's, if any.
    std::optional<std::int16_t> interfaceForThisRun;
    bool stopped = false; // a stop request ended start-up early
};

// True once the program has been told to stop (Ctrl+C, SIGTERM, SIGHUP).
using StopRequested = std::function<bool()>;

// Runs the start-up steps in order and returns with the main window loaded and shown.
// The settings are read from g.SettingsFile; `interfaceForThisRun`, when given,
// replaces the interface they name for this run only. A stop request seen between
// the steps skips the rest: the caller then ends the program (see `stopped`).
ProgramWindows Main(GyroState& g, const StopRequested& stopRequested = {},
                    std::optional<std::int16_t> interfaceForThisRun = std::nullopt);

// The start-up message: a line break, "LOADING...", two line breaks, then
// "Setting up Delay function" (line break = CR LF).
QString StartUpMessage();

} // namespace gyro
