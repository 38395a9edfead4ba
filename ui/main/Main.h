#pragma once
// The program's start: the start-up message while the delay loop is calibrated,
// the interface defaults, the settings file, the register map, then the main window.
#include "frmForm1.h"
#include "frmMsg.h"

#include <memory>

namespace gyro {

struct ProgramWindows {
    std::unique_ptr<frmMsg> message; // hidden once the main window is up, kept for the run
    std::unique_ptr<frmForm1> main;
};

// Runs the start-up steps in order and returns with the main window loaded and shown.
// CommPort.cfg is read from the current directory.
ProgramWindows Main(GyroState& g);

// The start-up message: a line break, "LOADING...", two line breaks, then
// "Setting up Delay function" (line break = CR LF).
QString StartUpMessage();

} // namespace gyro
