#pragma once
// The slow parts of the simulated rate noise, on a random stream of their own (so
// the white noise of a seed stays what it was):
// - bias instability of coefficient B (deg/s): flicker noise approximated by five
//   first-order Gauss-Markov processes with correlation times 0.3, 3, 30, 300 and
//   3000 s, each of deviation B sqrt(ln 10 / pi); their sum has the flicker
//   spectrum B^2 / (2 pi f) within a few per cent from about 1e-4 to 0.5 Hz, so the
//   Allan deviation is flat at 0.664 B from about 1 s to about 1000 s;
// - rate random walk of coefficient K (deg/s/sqrt(s)): the rate wanders by
//   K sqrt(dt) a step, an Allan deviation of K sqrt(tau / 3).
#include "SimRandom.h"

#include <array>
#include <cstdint>

namespace gyro::sim {

class RateNoise {
public:
    static constexpr std::array<double, 5> CorrelationSeconds{0.3, 3.0, 30.0, 300.0, 3000.0};

    explicit RateNoise(std::uint64_t seed) : random_(seed) {}

    // Moves the terms on by `seconds` (one sample, or many skipped at once: exact for
    // any step) and returns their sum, deg/s.
    double advance(double seconds, double biasInstability, double rateRandomWalk);
    // The sum now, deg/s.
    double value() const;

private:
    SimRandom random_;
    std::array<double, CorrelationSeconds.size()> markov_{};
    double walk_ = 0.0;
    double lastStep_ = -1.0;
    std::array<double, CorrelationSeconds.size()> decay_{}; // exp(-step / T) for lastStep_
};

} // namespace gyro::sim
