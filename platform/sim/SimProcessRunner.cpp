#include "SimProcessRunner.h"

namespace gyro::sim {

std::optional<int> SimProcessRunner::runAndWait(const QString& commandLine)
{
    commandLines_.append(commandLine);
    switch (behaviour_) {
    case Behaviour::CannotStart:
        return std::nullopt;
    case Behaviour::InstallFails:
        return 1;
    case Behaviour::Installs:
        break;
    }
    RegistryValue start;
    start.type = RegistryValue::Type::Dword;
    start.number = startValue_;
    registry_.setValue(PortDriverServiceKey, PortDriverStartValue, start);
    return 0;
}

} // namespace gyro::sim
