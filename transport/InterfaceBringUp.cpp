#include "InterfaceBringUp.h"

#include "EzUsb.h"
#include "OsFamily.h"
#include "ParallelSpi.h"
#include "PortAddress.h"
#include "PortDriver.h"
#include "UsbSpiDrivers.h"

namespace gyro {

namespace {

Failure portFailure(const GyroState& g, const QString& why)
{
    return Failure{QStringLiteral("parallel port"), why, {}, g.AppTitle, MsgIcon::Exclamation};
}

void note(Failures& failures, const Outcome& outcome)
{
    if (!outcome)
        failures.push_back(outcome.failure());
}

} // namespace

InterfaceOpening OpenParallelPort(GyroState& g)
{
    InterfaceOpening opening;
    const auto refuse = [&](const QString& why) {
        opening.failures.push_back(portFailure(g, why));
        return opening;
    };
    const std::int32_t address = PortBaseValue(g.PortAddress);
    if (!IsParallelPortBase(address))
        return refuse(NotAPortBaseMessage(address));
    const bool firstOpening = PortsAreGuarded(g.OsName) && !g.PortDriverReady;
    if (firstOpening) {
        if (g.platform.os.portDriverNeeded())
            note(opening.failures, InstallPortDriver(g));
        if (const QString failure = g.platform.port.giveio(); !failure.isEmpty())
            return refuse(failure);
        g.PortDriverReady = true;
    }
    // A port that is missing or held by another driver would read as all zeros.
    if (const QString failure = g.platform.port.openPort(address); !failure.isEmpty()) {
        if (firstOpening)
            g.PortDriverReady = false; // the next attempt opens and idles the port afresh
        return refuse(failure);
    }
    if (firstOpening)
        PortSpiInit(g);
    opening.ready = true;
    return opening;
}

InterfaceOpening OpenUsbCard(GyroState& g)
{
    InterfaceOpening opening;
    note(opening.failures, FindUsbBoards(g));
    if (g.UsbCardReady) {
        note(opening.failures, UsbSetSpiBits(g, g.UsbSpiBits));
        note(opening.failures, UsbSetWordDelay(g, g.UsbWordDelay));
    }
    opening.ready = g.UsbCardReady;
    return opening;
}

} // namespace gyro
