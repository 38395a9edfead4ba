#include "SimPlatform.h"

namespace gyro::sim {

SimPlatform::SimPlatform(SimOptions options)
    : realTime_(options.realTime), fakeBusyLoop_(fakeClock_, options.secondsPerTurn),
      clock_(options.realTime ? static_cast<Clock*>(&realClock_) : &fakeClock_),
      busyLoop_(options.realTime ? static_cast<BusyLoop*>(&realBusyLoop_) : &fakeBusyLoop_),
      sensor_(*clock_, options.seed), port_(sensor_, options.portAddress), processes_(registry_),
      platform_{
          QStringLiteral("Simulated sensor"), usb_, port_, registry_, processes_, os_, *clock_, *busyLoop_}
{
    usb_.connectChannel(1, &sensor_);
    if (options.usbCardAttached)
        usb_.attachCard(0);
}

SimPlatform::~SimPlatform() = default;

} // namespace gyro::sim
