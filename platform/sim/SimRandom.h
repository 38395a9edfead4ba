#pragma once
// The simulation's own random numbers (splitmix64): a seed gives the same sequence with
// every compiler and standard library, which the standard distributions do not promise.
#include <cstdint>

namespace gyro::sim {

class SimRandom {
public:
    explicit SimRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    // Uniform in [low, high).
    double between(double low, double high) { return low + (high - low) * uniform(); }

    // Mean 0, standard deviation 1, close to normal: the sum of four uniforms, so it
    // never exceeds +-3.46 (no rare wild spikes on the charts).
    double gaussian() { return (uniform() + uniform() + uniform() + uniform() - 2.0) * 1.7320508075688772; }

    // A number fixed by (seed, key) alone, for values looked up by a time slot.
    static std::uint64_t hash(std::uint64_t seed, std::uint64_t key)
    {
        SimRandom r(seed ^ (key * 0xD1B54A32D192ED03ull));
        return r.next();
    }

private:
    std::uint64_t state_;
};

} // namespace gyro::sim
