#include "ConsoleUiHost.h"

#include <QRegularExpression>
#include <QStringList>

namespace gyro {

MsgResult ConsoleUiHost::message(const QString& text, MsgButtons buttons, MsgIcon, const QString&)
{
    ++messages_;
    // A message box's lines become one line of the error output.
    QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    err_ << "gyroctl: " << lines.join(QStringLiteral(" / ")) << Qt::endl;
    // Nobody can answer: take the cautious choice.
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

} // namespace gyro
