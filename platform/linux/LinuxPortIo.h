#pragma once
// The Linux port I/O backend: the parallel port device (ppdev) by default, raw
// port instructions for root as an explicit choice.
#include "PortIo.h"

#include <memory>

namespace gyro {

enum class LinuxPortAccess { Ppdev, RawIoperm };

std::unique_ptr<PortIo> MakeLinuxPortIo(LinuxPortAccess access = LinuxPortAccess::Ppdev);

} // namespace gyro
