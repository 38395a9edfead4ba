#pragma once
// The UI host of the command line: messages go to standard error, one line each,
// and are counted, since every message the program shows reports a failure.
#include "UiHost.h"

#include <QTextStream>

namespace gyro {

class ConsoleUiHost final : public UiHost {
public:
    explicit ConsoleUiHost(QTextStream& err) : err_(err) {}

    MsgResult message(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    void yield() override {}
    void setBusyCursor(bool) override {}

    int messageCount() const { return messages_; }

private:
    QTextStream& err_;
    int messages_ = 0;
};

} // namespace gyro
