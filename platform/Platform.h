#pragma once
// One set of backends for everything outside the program. Chosen once at start-up
// from the backend table (BackendTable.h); nothing else knows which set it is.
#include "Clock.h"
#include "EzUsbDriver.h"
#include "OsVersion.h"
#include "PortIo.h"
#include "ProcessRunner.h"
#include "Registry.h"

#include <QString>

namespace gyro {

struct Platform {
    QString description; // shown to the user, e.g. "Simulated sensor"
    EzUsbDriver& usb;
    PortIo& port;
    Registry& registry;
    ProcessRunner& processes;
    OsVersion& os;
    Clock& clock;
    BusyLoop& busyLoop;
    // Where the platform's own helper files go (the port driver's batch file, in a
    // folder made there for the installation and removed after it); empty: the
    // program's folder. The simulation names the system's temporary folder.
    QString scratchFolder = {};
};

// Owns the backends of one set and hands out the Platform view of them.
class PlatformSet {
public:
    virtual ~PlatformSet() = default;
    virtual Platform& platform() = 0;
};

} // namespace gyro
