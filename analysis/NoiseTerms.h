#pragma once
// The gyroscope's noise terms read from its Allan deviation with the IEEE Std 952
// conventions, for a rate in deg/s:
//   N, angle random walk: the slope -1/2 line, read at tau = 1 s;
//   B, bias instability: the flat minimum divided by sqrt(2 ln 2 / pi) = 0.664;
//   K, rate random walk: the slope +1/2 line, read at tau = 3 s.
// A term is given only where the curve shows it (see the rules below).
#include "AllanDeviation.h"

#include <optional>
#include <vector>

namespace gyro::analysis {

// sqrt(2 ln 2 / pi): the flicker floor of the Allan deviation over B.
inline constexpr double BiasInstabilityFactor = 0.66428361;
// Points used for slopes and the minimum have at least this many clusters (their
// deviation is then known to about 27 %).
inline constexpr std::int64_t MinClustersForTerms = 8;
// How far a segment's log-log slope may be from -1/2 or +1/2 for its line; of those
// segments the one nearest the tau of the reading (1 s, 3 s) gives the term.
inline constexpr double SlopeTolerance = 0.1;

struct NoiseTerm {
    double value = 0; // N in deg/sqrt(s), B in deg/s, K in deg/s/sqrt(s)
    double tau = 0;   // where it was read: the segment's middle (N, K) or the minimum (B)
    double slope = 0; // the segment's slope (N, K); 0 for B
};

struct NoiseTerms {
    std::optional<NoiseTerm> N, B, K;
};

NoiseTerms FindNoiseTerms(const std::vector<AllanPoint>& points);

// The fitted lines at a tau, for plots: N / sqrt(tau), 0.664 B, K sqrt(tau / 3).
double AngleRandomWalkLine(double N, double tau);
double BiasInstabilityLine(double B);
double RateRandomWalkLine(double K, double tau);

// Each term in the program's units and in SI units.
struct TermUnits {
    double perHour; // N deg/sqrt(h), B deg/h, K deg/h/sqrt(h)
    double si;      // N rad/sqrt(s), B rad/s, K rad/s/sqrt(s)
};
TermUnits AngleRandomWalkUnits(double N);
TermUnits BiasInstabilityUnits(double B);
TermUnits RateRandomWalkUnits(double K);

} // namespace gyro::analysis
