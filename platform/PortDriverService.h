#pragma once
// The port I/O driver's service entry in the registry. Its "Start" value tells how
// the driver starts: 2 with the system, 3 on demand (what the installer leaves).
// Shared by the driver installation, the simulated installer and the backends
// whose system needs no driver.
#include <QString>
#include <cstdint>

namespace gyro {

inline const QString PortDriverServiceKey = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\giveio");
inline const QString PortDriverStartValue = QStringLiteral("Start");

constexpr std::uint32_t PortDriverStartAutomatic = 2;
constexpr std::uint32_t PortDriverStartOnDemand = 3;

} // namespace gyro
