#include "GyroState.h"

namespace gyro {

void SetInterfaceDefaults(LinkSettings& g)
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

float CurrentScale(const SensorView& g, int index)
{
    return index == Idx_Gyro_Out ? g.GyroScale : g.Reg[static_cast<std::size_t>(index)].RegScale;
}

} // namespace gyro
