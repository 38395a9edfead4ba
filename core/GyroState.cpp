#include "GyroState.h"

namespace gyro {

void SetInterfaceDefaults(GyroState& g)
{
    g.PortDriverReady = false;
    g.UsbLoopStopped = true;
    g.UsbSpiPolarity = true;
    g.UsbSpiChannel = 1;
    g.UsbSpiBits = 120;
    g.UsbWordDelay = 25;
    g.FactoryMode = 0;
    g.InterfaceType = 0;
}

void InitRegisterMap(GyroState& g)
{
    g.LastRegisterIndex = FillRegisterMap(g.Reg);
}

} // namespace gyro
