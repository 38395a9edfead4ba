#include "RegisterTable.h"

#include "HexText.h"
#include "NumberText.h"
#include "RegisterAccess.h"

namespace gyro {

namespace {
const QString NoAnswer = QStringLiteral("----");
} // namespace

QString BuildRegisterTableText(GyroState& g)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = QStringLiteral("Name\t\tAddr\thexValue\t   decValue") + lineEnd;
    text += QStringLiteral("___________\t_____\t_____\t    _____") + lineEnd;
    for (int index = 0; index <= g.LastRegisterIndex; ++index) {
        // An unreadable entry is not read: it repeats the previous read, answer or not.
        ReadRegister(g, index);
        const RegisterEntry& e = g.Reg[static_cast<std::size_t>(index)];
        const bool answered = !g.RegReadFailed;
        text += e.RegName.trimmed() + QStringLiteral("    \t") + ValueToHex4(e.RegAddress) +
                QLatin1Char('\t') + (answered ? ValueToHex4(g.RegWord) : NoAnswer) + QStringLiteral("\t   ") +
                (answered ? FormatNumber(g.RegValue, QStringLiteral("0.0####")) : NoAnswer) + lineEnd;
    }
    return text;
}

} // namespace gyro
