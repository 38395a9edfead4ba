#pragma once
// Runs a command line with CreateProcessA (no separate program name, handles
// inherited, normal priority, a zeroed start-up record), waits for it without a
// time limit and reads its exit code. A batch file named on the command line runs
// in the system's command interpreter.
#include "ProcessRunner.h"

namespace gyro {

class Win32ProcessRunner final : public ProcessRunner {
public:
    std::optional<int> runAndWait(const QString& commandLine) override;
};

} // namespace gyro
