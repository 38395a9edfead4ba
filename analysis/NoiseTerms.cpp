#include "NoiseTerms.h"

#include <cmath>
#include <numbers>

namespace gyro::analysis {

namespace {

constexpr double RadPerDeg = std::numbers::pi / 180.0;

// Of the segments between neighbouring usable points whose slope is within the
// tolerance of the target, the one nearest (on the log scale) the tau the line is
// read at: the least stretch of line between the data and the reading, and away
// from the shortest taus, where a sensor's own filter bends the curve. The term's
// value from the line of the target slope through that segment's geometric middle.
std::optional<NoiseTerm> lineTerm(const std::vector<AllanPoint>& p, double target, double readAt)
{
    std::optional<NoiseTerm> best;
    double bestDistance = 0;
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        if (p[i + 1].clusters < MinClustersForTerms || !(p[i].adev > 0) || !(p[i + 1].adev > 0))
            continue;
        const double slope = std::log(p[i + 1].adev / p[i].adev) / std::log(p[i + 1].tau / p[i].tau);
        if (std::abs(slope - target) > SlopeTolerance)
            continue;
        const double distance = std::abs(std::log(std::sqrt(p[i].tau * p[i + 1].tau) / readAt));
        if (best && distance >= bestDistance)
            continue;
        bestDistance = distance;
        const double tau = std::sqrt(p[i].tau * p[i + 1].tau);
        const double adev = std::sqrt(p[i].adev * p[i + 1].adev);
        best = NoiseTerm{adev * std::pow(readAt / tau, target), tau, slope};
    }
    return best;
}

} // namespace

NoiseTerms FindNoiseTerms(const std::vector<AllanPoint>& points)
{
    NoiseTerms terms;
    terms.N = lineTerm(points, -0.5, 1.0);
    terms.K = lineTerm(points, 0.5, 3.0);
    // The minimum must lie inside the usable points: a curve still falling at its
    // longest usable tau has not reached its floor.
    std::size_t usable = 0;
    while (usable < points.size() && points[usable].clusters >= MinClustersForTerms)
        ++usable;
    std::size_t least = 0;
    for (std::size_t i = 1; i < usable; ++i)
        if (points[i].adev < points[least].adev)
            least = i;
    if (usable >= 3 && least > 0 && least + 1 < usable)
        terms.B = NoiseTerm{points[least].adev / BiasInstabilityFactor, points[least].tau, 0.0};
    // The terms come in their order along tau: N before the floor, K after it (a
    // rising stretch before the -1/2 line, as a log read faster than its samples
    // shows, is no rate random walk).
    if (terms.N && terms.B && terms.N->tau > terms.B->tau)
        terms.N.reset();
    if (terms.K && ((terms.B && terms.K->tau < terms.B->tau) || (terms.N && terms.K->tau < terms.N->tau)))
        terms.K.reset();
    return terms;
}

double AngleRandomWalkLine(double N, double tau)
{
    return N / std::sqrt(tau);
}

double BiasInstabilityLine(double B)
{
    return BiasInstabilityFactor * B;
}

double RateRandomWalkLine(double K, double tau)
{
    return K * std::sqrt(tau / 3.0);
}

TermUnits AngleRandomWalkUnits(double N)
{
    return {N * 60.0, N * RadPerDeg}; // 1 deg/sqrt(s) = 60 deg/sqrt(h)
}

TermUnits BiasInstabilityUnits(double B)
{
    return {B * 3600.0, B * RadPerDeg};
}

TermUnits RateRandomWalkUnits(double K)
{
    return {K * 3600.0 * 60.0, K * RadPerDeg}; // deg/s/sqrt(s) = 3600 * 60 deg/h/sqrt(h)
}

} // namespace gyro::analysis
