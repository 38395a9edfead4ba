#include "RegisterTable.h"

#include "HexText.h"
#include "NumberText.h"
#include "RegisterAccess.h"

namespace gyro {

namespace {
const QString NoAnswer = QStringLiteral("----");
} // namespace

QString BuildRegisterTableText(GyroState& g, int* failedReads)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = QStringLiteral("Name\t\tAddr\thexValue\t   decValue") + lineEnd;
    text += QStringLiteral("___________\t_____\t_____\t    _____") + lineEnd;
    RegisterReading shown;
    bool answered = false; // the last read brought an answer: `shown`
    for (int index = 0; index <= g.LastRegisterIndex; ++index) {
        // An unreadable entry is not read: it repeats the previous read, answer or not.
        const RegisterRead read = ReadRegister(g, index);
        if (read) {
            shown = *read;
            answered = true;
        } else if (read.reason() == NoReadingReason::NoAnswer) {
            answered = false;
        }
        const RegisterEntry& e = g.Reg[static_cast<std::size_t>(index)];
        if (!read && e.RegReadable && failedReads != nullptr)
            ++*failedReads;
        text += e.RegName.trimmed() + QStringLiteral("    \t") + ValueToHex4(e.RegAddress) +
                QLatin1Char('\t') + (answered ? ValueToHex4(shown.RegWord) : NoAnswer) +
                QStringLiteral("\t   ") +
                (answered ? FormatNumber(shown.RegValue, QStringLiteral("0.0####")) : NoAnswer) + lineEnd;
    }
    return text;
}

} // namespace gyro
