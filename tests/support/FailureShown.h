#pragma once
// Reading an operation's outcome in a test: "" when it succeeded, else the text
// of its failure as a front end would show it.
#include "Failure.h"

namespace gyro::test {

inline QString FailureShown(const Outcome& outcome)
{
    return outcome.ok() ? QString() : outcome.failure().shownText();
}

} // namespace gyro::test
