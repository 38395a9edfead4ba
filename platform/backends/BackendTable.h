#pragma once
// The one place that lists the backend sets: the built-in simulation and the
// build system's real hardware. Chosen once at start-up.
#include "Platform.h"
#include "SimFaults.h"

#include <QString>
#include <memory>
#include <vector>

namespace gyro {

struct BackendOptions {
    std::uint32_t seed = 1;               // simulation: the sensor's noise and motion
    bool rawPortAccess = false;           // real hardware: ioperm instead of ppdev (root only)
    std::vector<sim::SimFault> simFaults; // simulation: hardware faults on demand
    bool simStill = false;                // simulation: the sensor at rest (no motion profile)
    bool simBusTiming = false;            // simulation: USB transactions take the card's frames
    bool simFullSpeed = false;            // simulation: a full-speed card instead of a high-speed one
};

// "sim" or "native". Returns nullptr and a message in `error` for an unknown name.
std::unique_ptr<PlatformSet> MakeBackends(const QString& name, const BackendOptions& options, QString* error);

} // namespace gyro
