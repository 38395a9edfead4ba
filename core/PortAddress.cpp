#include "PortAddress.h"

namespace gyro {

namespace {
constexpr std::int32_t LastBase = 0xFFFF - 2; // base + 2 is the port's last register
} // namespace

std::int32_t PortBaseValue(std::int16_t setting)
{
    return static_cast<std::uint16_t>(setting);
}

bool IsParallelPortBase(std::int32_t address)
{
    return address >= 1 && address <= LastBase;
}

QString NotAPortBaseMessage(std::int32_t address)
{
    return QStringLiteral("%1 is not a parallel port address. Give the port's base address in hex, "
                          "1 to FFFD (usually 378, 278 or 3BC).")
        .arg(QString::number(address, 16).toUpper());
}

} // namespace gyro
