#pragma once
// What the program asks of the window system outside its own windows: message
// boxes, a yield to the event loop, the busy cursor. The Qt host is used by the
// program, a recording host by the tests, a console host by the command line.
#include <QString>

namespace gyro {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgResult { Ok, Cancel, Yes, No, Retry };

struct Failure;

class UiHost {
public:
    virtual ~UiHost() = default;

    // Shows a message and returns the button pressed. An empty title means the
    // application title.
    virtual MsgResult message(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                              MsgIcon icon = MsgIcon::None, const QString& title = {}) = 0;

    // Lets the window system handle pending events (paint, clicks) once.
    virtual void yield() = 0;

    // Shows or restores the busy (hourglass) pointer.
    virtual void setBusyCursor(bool busy) = 0;

    // Tells the user of a failed operation: a message box with one OK button, its
    // title and icon from the failure. A failure told before shows nothing. A host
    // that is no window (the command line) says it its own way.
    virtual void tell(const Failure& failure);
};

} // namespace gyro
