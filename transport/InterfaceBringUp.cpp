#include "InterfaceBringUp.h"

#include "EzUsb.h"
#include "OsFamily.h"
#include "ParallelSpi.h"
#include "PortDriver.h"
#include "UsbSpiDrivers.h"

namespace gyro {

bool OpenParallelPort(GyroState& g)
{
    if (!IsNtFamily(g.OsName))
        return true;
    if (g.PortDriverReady)
        return true;
    InstallPortDriver(g);
    const QString failure = g.platform.port.giveio();
    if (!failure.isEmpty()) {
        g.ui.message(failure, MsgButtons::Ok, MsgIcon::Exclamation, g.AppTitle);
        return false;
    }
    g.PortDriverReady = true;
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
