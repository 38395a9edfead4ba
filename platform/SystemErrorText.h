#pragma once
// The system's own words for an error code: errno text on POSIX, the message
// table of GetLastError() codes on Windows.
#include <QString>

namespace gyro {

// errno on POSIX; a GetLastError() code on Windows.
QString SystemErrorText(unsigned long code);
// The error of the last failed system call of this thread, in words.
QString LastSystemErrorText();

} // namespace gyro
