#pragma once
// Bringing an interface into use, shared by the main window's start-up, the port
// setup window and the command line, so that each does exactly the same steps.
#include "Failure.h"
#include "GyroState.h"

namespace gyro {

// What bringing an interface up gave: whether it is in use, and each failure met
// on the way, in order, for the front end to tell.
struct InterfaceOpening {
    bool ready = false;
    Failures failures;
};

// For a front end: tells each failure of the opening and gives back whether it is ready.
inline bool TellOpening(UiHost& ui, const InterfaceOpening& opening)
{
    TellEach(ui, opening.failures);
    return opening.ready;
}

// Where the system guards its ports, once per run: installs the port driver where
// the platform needs one, opens the ports to the program and puts the port lines
// into their idle state. On every family it then
// checks that a port answers at PortAddress (found, opened, claimed), so that a
// missing or busy port is told at once instead of reading as zeros. A failure
// leaves it not ready; on the NT family it leaves PortDriverReady false, so that
// the next attempt (after the user fixed the cause) tries again. A driver
// installation that failed is among the failures, and the opening goes on.
InterfaceOpening OpenParallelPort(GyroState& g);

// Finds the USB cards and, when one is ready, sends it the current SPI bits and
// word delay. Ready is UsbCardReady.
InterfaceOpening OpenUsbCard(GyroState& g);

} // namespace gyro
