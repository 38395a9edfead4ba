#pragma once
// The UI host of the windowed program: Qt message boxes, a yield that lets Qt
// handle pending events once, and the application-wide busy cursor.
#include "UiHost.h"

#include <utility>

namespace gyro {

class QtUiHost final : public UiHost {
public:
    // `applicationTitle` is the title of a message given an empty one.
    explicit QtUiHost(QString applicationTitle) : applicationTitle_(std::move(applicationTitle)) {}
    void setApplicationTitle(QString title) { applicationTitle_ = std::move(title); }
    // When the program is ending on a signal no one may be there to answer a box:
    // messages then go to standard error and get the box's escape answer at once.
    void setMessagesOnStderr(bool onStderr) { messagesOnStderr_ = onStderr; }

    MsgResult message(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    void yield() override;
    void setBusyCursor(bool busy) override;

private:
    QString applicationTitle_;
    bool busy_ = false;
    bool messagesOnStderr_ = false;
};

} // namespace gyro
