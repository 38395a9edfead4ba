#include "RecordingUiHost.h"

#include <QCoreApplication>

namespace gyro::test {

MsgResult RecordingUiHost::message(const QString& text, MsgButtons buttons, MsgIcon icon,
                                   const QString& title)
{
    messages.push_back({text, title, buttons, icon});
    if (onMessage)
        onMessage(text);
    if (!answers.empty()) {
        const MsgResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes
                                                                              : MsgResult::Ok;
}

void RecordingUiHost::yield()
{
    ++yields;
    if (processQtEvents && QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
    if (onYield)
        onYield();
}

void RecordingUiHost::setBusyCursor(bool busy)
{
    busyCursor = busy;
    ++busyCursorChanges;
}

QStringList RecordingUiHost::texts() const
{
    QStringList list;
    for (const auto& m : messages)
        list << m.text;
    return list;
}

} // namespace gyro::test
