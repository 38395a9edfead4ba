#pragma once
// Parallel port base addresses: which values can be one, and how the settings'
// signed 16-bit value stands for an address.
#include <QString>
#include <cstdint>

namespace gyro {

// The settings hold the base address in a signed 16-bit value; addresses above
// 0x7FFF (add-in port cards) are negative there. Gives the address, 0..65535.
std::int32_t PortBaseValue(std::int16_t setting);

// Whether an address (0..65535) can be a parallel port's base: not 0, and the
// port's three registers (base, base + 1, base + 2) within the 16-bit I/O space.
bool IsParallelPortBase(std::int32_t address);

// What the user is told about an address that cannot be a port's base.
QString NotAPortBaseMessage(std::int32_t address);
// The same for an address the user typed as `typed`, which reads as `address`:
// the message names the text when it is not simply that address in hex.
QString NotAPortBaseMessage(const QString& typed, std::int32_t address);

} // namespace gyro
