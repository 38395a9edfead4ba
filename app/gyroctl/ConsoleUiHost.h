#pragma once
// The UI host of the command line: messages and failures go to standard error,
// one line each. The failures it is told are counted: a command whose own result
// looked whole still fails when a failure was told during it.
#include "UiHost.h"

#include <QTextStream>

namespace gyro {

class ConsoleUiHost final : public UiHost {
public:
    explicit ConsoleUiHost(QTextStream& err) : err_(err) {}

    MsgResult message(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    void yield() override {}
    void setBusyCursor(bool) override {}
    void tell(const Failure& failure) override;

    int failureCount() const { return failures_; }

private:
    void writeLine(const QString& text);

    QTextStream& err_;
    int failures_ = 0;
};

} // namespace gyro
