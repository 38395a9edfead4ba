#pragma once
// Linux needs no port I/O driver: the kernel's parallel port drivers are always
// there, and access is granted per user (lp group) or per process (root). The
// Linux backend set therefore records the driver service as installed for
// automatic start in its in-memory registry, so the driver installation finds
// nothing to do and writes no batch file; PortIo::giveio() checks the access.
#include "Registry.h"

namespace gyro {

void MarkPortDriverInstalled(Registry& registry);

} // namespace gyro
