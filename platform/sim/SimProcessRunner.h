#pragma once
// The process runner of the simulated PC. It records every command line and plays
// the port driver installer: a run sets the driver service's "Start" value, as a
// successful installation leaves it (3, start on demand, unless told otherwise).
//
//   Behaviour::Installs     (default) Start = startValueAfterInstall(), exit code 0
//   Behaviour::InstallFails the registry stays as it is, exit code 1
//   Behaviour::CannotStart  nothing runs: runAndWait returns nullopt
//
// commandLines() lists every command line asked for, also those that could not start.
#include "PortDriverService.h"
#include "ProcessRunner.h"
#include "Registry.h"

#include <QStringList>
#include <cstdint>

namespace gyro::sim {

class SimProcessRunner final : public ProcessRunner {
public:
    enum class Behaviour { Installs, InstallFails, CannotStart };

    explicit SimProcessRunner(Registry& registry) : registry_(registry) {}

    std::optional<int> runAndWait(const QString& commandLine) override;

    void setBehaviour(Behaviour behaviour) { behaviour_ = behaviour; }
    void setStartValueAfterInstall(std::uint32_t value) { startValue_ = value; }
    std::uint32_t startValueAfterInstall() const { return startValue_; }

    const QStringList& commandLines() const { return commandLines_; }
    void clearCommandLines() { commandLines_.clear(); }

private:
    Registry& registry_;
    Behaviour behaviour_ = Behaviour::Installs;
    std::uint32_t startValue_ = PortDriverStartOnDemand;
    QStringList commandLines_;
};

} // namespace gyro::sim
