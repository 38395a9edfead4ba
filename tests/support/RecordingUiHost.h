#pragma once
// A UI host for tests: records every message, answers from a script (OK by
// default), counts yields and busy-cursor changes. An optional hook runs on each
// yield, so a test can act "while the loop runs" (click Stop, change a box).
#include "UiHost.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace gyro::test {

struct RecordedMessage {
    QString text;
    QString title;
    MsgButtons buttons;
    MsgIcon icon;
};

class RecordingUiHost final : public UiHost {
public:
    MsgResult message(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    void yield() override;
    void setBusyCursor(bool busy) override;

    std::vector<RecordedMessage> messages;
    std::deque<MsgResult> answers;                 // next answers; OK (or Yes) when empty
    std::function<void()> onYield;                 // runs inside each yield
    std::function<void(const QString&)> onMessage; // runs inside each message
    int yields = 0;
    bool busyCursor = false;
    int busyCursorChanges = 0;
    bool processQtEvents = true; // let queued Qt events run during a yield

    QStringList texts() const;
    void clear() { messages.clear(); }
};

} // namespace gyro::test
