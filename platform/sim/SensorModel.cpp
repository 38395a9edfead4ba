#include "SensorModel.h"

#include "SimRandom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gyro::sim {

MotionProfile demoMotion(std::uint32_t seed)
{
    return [seed](double seconds) {
        const double sine = 60.0 * std::sin(2.0 * std::numbers::pi * seconds / 2.5);
        const auto slot = static_cast<std::uint64_t>(std::max(0.0, std::floor(seconds / 5.0)));
        const std::uint64_t h = SimRandom::hash(seed, slot);
        if (h % 4 != 0)
            return sine;
        const auto level = static_cast<int>((h >> 8) % 13) - 6; // -6 .. 6
        return sine + 10.0 * level;
    };
}

double SensorModel::temperatureC(double sinceStart, double sincePowerUp) const
{
    const double warm = warmUpC * (1.0 - std::exp(-std::max(0.0, sincePowerUp) / warmUpSeconds));
    const double wander =
        wanderC * std::sin(2.0 * std::numbers::pi * sinceStart / wanderSeconds + wanderPhase);
    return ambientC + warm + wander;
}

void SensorModel::silenceNoise()
{
    noiseWideDegPerSec = 0.0;
    noiseNarrowDegPerSec = 0.0;
    biasInstabilityDegPerSec = 0.0;
    rateRandomWalkDegPerSecPerRootSec = 0.0;
    temperatureNoiseC = 0.0;
    supplyNoiseVolts = 0.0;
    auxAdcNoiseCounts = 0.0;
}

SensorModel makeSensorModel(std::uint32_t seed)
{
    SimRandom r(seed);
    SensorModel m;
    const double magnitude = r.between(0.5, 3.0);
    m.biasDegPerSec = r.uniform() < 0.5 ? -magnitude : magnitude;
    m.ambientC = r.between(24.0, 26.0);
    m.wanderPhase = r.between(0.0, 2.0 * std::numbers::pi);
    m.motion = demoMotion(seed);
    return m;
}

} // namespace gyro::sim
