#pragma once
// Which link carries the SPI frames. The settings file keeps it as a number
// (InterfaceType); only the settings code turns one into the other.
#include <cstdint>

namespace gyro {

enum class InterfaceKind { None, ParallelPort, UsbCard };

} // namespace gyro
