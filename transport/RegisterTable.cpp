#include "RegisterTable.h"

#include "HexText.h"
#include "NumberText.h"
#include "RegisterAccess.h"

namespace gyro {

QString BuildRegisterTableText(GyroState& g, int* failedReads)
{
    const QString noAnswer = QStringLiteral("----");
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = QStringLiteral("Name\t\tAddr\thexValue\t   decValue") + lineEnd;
    text += QStringLiteral("___________\t_____\t_____\t    _____") + lineEnd;
    for (int index = 0; index <= g.LastRegisterIndex; ++index) {
        const RegisterEntry& e = g.Reg[static_cast<std::size_t>(index)];
        const bool noReading = !ReadRegister(g, index) && e.RegReadable;
        if (noReading && failedReads != nullptr)
            ++*failedReads;
        text += e.RegName.trimmed() + QStringLiteral("    \t") + ValueToHex4(e.RegAddress) +
                QLatin1Char('\t') + (noReading ? noAnswer : ValueToHex4(g.RegWord)) +
                QStringLiteral("\t   ") +
                (noReading ? noAnswer : FormatNumber(g.RegValue, QStringLiteral("0.0####"))) + lineEnd;
    }
    return text;
}

} // namespace gyro
