#pragma once
// Bringing an interface into use, shared by the main window's start-up, the port
// setup window and the command line, so that each does exactly the same steps.
#include "GyroState.h"

namespace gyro {

// Where the system guards its ports, once per run: installs the port driver where
// the platform needs one, opens the ports to the program and puts the port lines
// into their idle state. On every family it then
// checks that a port answers at PortAddress (found, opened, claimed), so that a
// missing or busy port is told at once instead of reading as zeros. A failure is
// shown to the user and returns false; on the NT family it leaves PortDriverReady
// false, so that the next attempt (after the user fixed the cause) tries again.
bool OpenParallelPort(GyroState& g);

// Finds the USB cards and, when one is ready, sends it the current SPI bits and
// word delay. Returns UsbCardReady.
bool OpenUsbCard(GyroState& g);

} // namespace gyro
