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

namespace {
const QString GiveABase =
    QStringLiteral("Give the port's base address in hex, 1 to FFFD (usually 378, 278 or 3BC).");
} // namespace

QString NotAPortBaseMessage(std::int32_t address)
{
    return QStringLiteral("%1 is not a parallel port address. ").arg(QString::number(address, 16).toUpper()) +
           GiveABase;
}

QString NotAPortBaseMessage(const QString& typed, std::int32_t address)
{
    // A plain hex number is named as the address it is ("0000" and "fffe" as 0 and
    // FFFE); other text ("zz", "0x378", five digits) as typed, with what it reads as.
    bool plainHex = false;
    const QString text = typed.trimmed();
    const int value = text.toInt(&plainHex, 16);
    if (plainHex && !text.startsWith(QLatin1Char('+')) && !text.startsWith(QLatin1Char('-')) &&
        value == address)
        return NotAPortBaseMessage(address);
    return QStringLiteral("\"%1\" is not a parallel port address (it reads as %2). ")
               .arg(typed, QString::number(address, 16).toUpper()) +
           GiveABase;
}

} // namespace gyro
