#include "BackendTable.h"

#include "NativePlatform.h"
#include "SimPlatform.h"

#include <QStringList>
#include <array>

namespace gyro {

namespace {

std::unique_ptr<PlatformSet> makeSimulation(const BackendOptions& options, QString*)
{
    sim::SimOptions sim;
    sim.realTime = true;
    sim.seed = options.seed;
    sim.faults = options.simFaults;
    sim.still = options.simStill;
    sim.busTiming = options.simBusTiming;
    sim.fullSpeedCard = options.simFullSpeed;
    return std::make_unique<sim::SimPlatform>(sim);
}

struct Backend {
    const char* name;
    std::unique_ptr<PlatformSet> (*make)(const BackendOptions&, QString*);
};

constexpr std::array<Backend, 2> kBackends{{
    {"sim", &makeSimulation},
    {"native", &MakeNativePlatform},
}};

} // namespace

std::unique_ptr<PlatformSet> MakeBackends(const QString& name, const BackendOptions& options, QString* error)
{
    for (const Backend& backend : kBackends) {
        if (name == QLatin1String(backend.name))
            return backend.make(options, error);
    }
    if (error != nullptr)
        *error = QStringLiteral("unknown backend '%1'").arg(name);
    return nullptr;
}

} // namespace gyro
