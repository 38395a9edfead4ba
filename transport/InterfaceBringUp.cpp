#include "InterfaceBringUp.h"

#include "EzUsb.h"
#include "OsFamily.h"
#include "ParallelSpi.h"
#include "PortAddress.h"
#include "PortDriver.h"
#include "UsbSpiDrivers.h"

namespace gyro {

namespace {

bool refuse(GyroState& g, const QString& why)
{
    g.ui.message(why, MsgButtons::Ok, MsgIcon::Exclamation, g.AppTitle);
    return false;
}

} // namespace

bool OpenParallelPort(GyroState& g)
{
    const std::int32_t address = PortBaseValue(g.PortAddress);
    if (!IsParallelPortBase(address))
        return refuse(g, NotAPortBaseMessage(address));
    const bool firstOpening = PortsAreGuarded(g.OsName) && !g.PortDriverReady;
    if (firstOpening) {
        if (g.platform.os.portDriverNeeded())
            InstallPortDriver(g);
        if (const QString failure = g.platform.port.giveio(); !failure.isEmpty())
            return refuse(g, failure);
        g.PortDriverReady = true;
    }
    // A port that is missing or held by another driver would read as all zeros.
    if (const QString failure = g.platform.port.openPort(address); !failure.isEmpty()) {
        if (firstOpening)
            g.PortDriverReady = false; // the next attempt opens and idles the port afresh
        return refuse(g, failure);
    }
    if (firstOpening)
        PortSpiInit(g);
    return true;
}

bool OpenUsbCard(GyroState& g)
{
    FindUsbBoards(g);
    if (g.UsbCardReady) {
        UsbSetSpiBits(g, g.UsbSpiBits);
        UsbSetWordDelay(g, g.UsbWordDelay);
    }
    return g.UsbCardReady;
}

} // namespace gyro
