#include "HexText.h"

#include "NumberText.h"

#include <cmath>

namespace gyro {

namespace {
int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 0;
}
} // namespace

std::int32_t HexToLong(const QString& text)
{
    const QString digits = text.right(4);
    std::int32_t result = 0;
    for (QChar c : digits)
        result = result * 16 + hexDigitValue(c);
    return result;
}

std::int16_t HexToInteger(const QString& text)
{
    const std::int32_t value = HexToLong(text);
    return static_cast<std::int16_t>(value > 32767 ? value - 65536 : value);
}

QString ValueToHex4(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0000");
    const double rounded = RoundHalfEven(value);
    // Keep the low 16 bits of the two's complement integer (also for huge values).
    const double wrapped = std::fmod(rounded, 65536.0);
    const auto word = static_cast<std::uint16_t>(static_cast<std::int32_t>(wrapped) & 0xFFFF);
    return QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}

QString HexOfInteger(std::int16_t value)
{
    return QString::number(static_cast<std::uint16_t>(value), 16).toUpper();
}

} // namespace gyro
