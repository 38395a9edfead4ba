#include "LinuxPortIo.h"

#include "PpdevPortIo.h"
#include "RawPortIo.h"

namespace gyro {

std::unique_ptr<PortIo> MakeLinuxPortIo(LinuxPortAccess access)
{
    if (access == LinuxPortAccess::RawIoperm)
        return std::make_unique<RawPortIo>();
    return std::make_unique<PpdevPortIo>();
}

} // namespace gyro
