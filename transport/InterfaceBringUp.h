#pragma once
// Bringing an interface into use, shared by the main window's start-up, the port
// setup window and the command line, so that each does exactly the same steps.
#include "GyroState.h"

namespace gyro {

// On the NT family, once per run: installs the port driver, opens the ports to the
// program and puts the port lines into their idle state. A failure to open the
// ports is shown to the user and leaves PortDriverReady false, so that the next
// attempt (after the user fixed the cause) tries again. Returns PortDriverReady
// on the NT family, true elsewhere (the 95 family needs no driver).
bool OpenParallelPort(GyroState& g);

// Finds the USB cards and, when one is ready, sends it the current SPI bits and
// word delay. Returns UsbCardReady.
bool OpenUsbCard(GyroState& g);

} // namespace gyro
