#pragma once
// Checks the configuration commands share for their own arguments, before any
// traffic: a count of arguments and strict numbers (a script's typo must fail, not
// turn into a default value).
#include "CtlCommandTable.h"

#include <optional>

namespace gyro {

// True when the command got at most `most` arguments; otherwise says so on stderr.
bool AtMostArguments(CtlContext& context, qsizetype most);
// A finite number with a point as decimal mark; otherwise nothing and a message
// naming `what` on stderr.
std::optional<double> StrictNumber(CtlContext& context, const QString& text, const char* what);
// Tells on stderr that a value was corrected to a limit, as the windows do silently.
void NoteCorrection(CtlContext& context, const char* what, double entered, const QString& used);

} // namespace gyro
