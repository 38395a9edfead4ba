#pragma once
// A failed operation as a value: what was attempted, the text the user is told
// and the system's reason when it gave one. Transport, card and file operations
// give it back; only a front end shows it (the windows in a message box, gyroctl
// on standard error, with its exit status taken from the failures it got).
#include "UiHost.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace gyro {

struct Failure {
    QString operation;            // what was attempted, e.g. "USB transfer"
    QString text;                 // what the user is told, exactly as shown
    QString reason;               // the system's reason, shown on a line below the text
    QString title;                // the message's title; empty: the program's title
    MsgIcon icon = MsgIcon::None; // how a message box marks it
    bool toldBefore = false;      // a card that already failed and was told: nothing to show

    // The text and, when the system gave one, its reason on a second line.
    QString shownText() const { return reason.isEmpty() ? text : text + u'\n' + reason; }
};

// What an operation that can fail gives back: nothing when it succeeded, or what failed.
class [[nodiscard]] Outcome {
public:
    Outcome() = default;
    Outcome(Failure failure) : failure_(std::move(failure)) {} // NOLINT: a failure is an outcome
    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return *failure_; }

private:
    std::optional<Failure> failure_;
};

// The failures of an operation of several steps, in the order they happened.
using Failures = std::vector<Failure>;

inline void TellEach(UiHost& ui, const Failures& failures)
{
    for (const Failure& failure : failures)
        ui.tell(failure);
}

// For a front end: tells the failure, if there is one, through its host, and
// gives back whether the operation succeeded.
inline bool TellIfFailed(UiHost& ui, const Outcome& outcome)
{
    if (!outcome)
        ui.tell(outcome.failure());
    return outcome.ok();
}

} // namespace gyro
