#include "ConsoleUiHost.h"

#include "Failure.h"

#include <QRegularExpression>
#include <QStringList>

namespace gyro {

void ConsoleUiHost::writeLine(const QString& text)
{
    // A message box's lines become one line of the error output.
    QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    err_ << "gyroctl: " << lines.join(QStringLiteral(" / ")) << Qt::endl;
}

MsgResult ConsoleUiHost::message(const QString& text, MsgButtons buttons, MsgIcon, const QString&)
{
    writeLine(text);
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

void ConsoleUiHost::tell(const Failure& failure)
{
    ++failures_;
    if (!failure.toldBefore)
        writeLine(failure.shownText());
}

} // namespace gyro
