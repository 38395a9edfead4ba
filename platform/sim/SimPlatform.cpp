#include "SimPlatform.h"

#include <QDir>

namespace gyro::sim {

SimPlatform::SimPlatform(SimOptions options)
    : realTime_(options.realTime), fakeBusyLoop_(fakeClock_, options.secondsPerTurn),
      clock_(options.realTime ? static_cast<Clock*>(&realClock_) : &fakeClock_),
      busyLoop_(options.realTime ? static_cast<BusyLoop*>(&realBusyLoop_) : &fakeBusyLoop_),
      sensor_(*clock_, options.seed), port_(sensor_, options.portAddress), processes_(registry_),
      platform_{
          QStringLiteral("Simulated sensor"), usb_, port_, registry_, processes_, os_, *clock_, *busyLoop_}
{
    platform_.scratchFolder = QDir::tempPath();
    usb_.connectChannel(1, &sensor_);
    if (options.usbCardAttached) {
        SimUsbCardConfig card;
        if (options.fullSpeedCard)
            card.pipe3MaxPacket = 64;
        usb_.attachCard(0, card);
    }
    if (options.busTiming)
        usb_.setBusTiming(clock_);
    for (const SimFault& fault : options.faults)
        applyFault(fault);
    if (options.still) {
        SensorModel model = sensor_.model();
        model.motion = {};
        sensor_.setModel(std::move(model));
    }
}

void SimPlatform::applyFault(const SimFault& fault)
{
    constexpr int Card = 0;
    if (fault.kind == SimFault::Kind::PortUnclaimable) {
        port_.setUnclaimable(true);
        return;
    }
    if (!usb_.hasCard(Card))
        return;
    switch (fault.kind) {
    case SimFault::Kind::CardStops:
        usb_.stopAnsweringAfter(Card, fault.transfers);
        break;
    case SimFault::Kind::Unplug:
        usb_.unplugAfter(Card, fault.transfers, fault.failedOpens);
        break;
    case SimFault::Kind::RequestFails:
        usb_.failRequests(Card, fault.requestCode);
        break;
    case SimFault::Kind::PortUnclaimable:
        break;
    }
}

SimPlatform::~SimPlatform() = default;

} // namespace gyro::sim
