#pragma once
// Runs a command line and waits for it to end.
#include <QString>
#include <optional>

namespace gyro {

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // The exit code, or nullopt when the process could not be started.
    virtual std::optional<int> runAndWait(const QString& commandLine) = 0;
};

} // namespace gyro
