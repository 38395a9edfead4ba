#pragma once
// Runs a command line through the system shell (/bin/sh -c), with this process's
// environment, standard handles and working directory, and waits for it to end
// without a time limit.
#include "ProcessRunner.h"

namespace gyro {

class PosixProcessRunner final : public ProcessRunner {
public:
    // The shell's exit code (128 + signal number when a signal ended it, as the
    // shell reports it); nullopt when the shell could not be started. A command the
    // shell cannot find or run is the shell's exit code 127 or 126.
    std::optional<int> runAndWait(const QString& commandLine) override;
};

} // namespace gyro
