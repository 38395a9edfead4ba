#include "LinuxPortDriver.h"

#include "PortDriverService.h"

namespace gyro {

void MarkPortDriverInstalled(Registry& registry)
{
    RegistryValue start;
    start.type = RegistryValue::Type::Dword;
    start.number = PortDriverStartAutomatic;
    registry.setValue(PortDriverServiceKey, PortDriverStartValue, start);
}

} // namespace gyro
