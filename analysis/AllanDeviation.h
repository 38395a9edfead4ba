#pragma once
// The Allan deviation of a rate series through its cumulative sum X (X_0 = 0,
// X_k = y_0 + ... + y_(k-1)): for a cluster of m samples (tau = m * tau0)
//   AVAR(tau) = sum_k (X_(k+2m) - 2 X_(k+m) + X_k)^2 / (2 m^2 * terms),
// over every k (overlapping: n - 2m + 1 terms) or over k = 0, m, 2m, ...
// (non-overlapping: floor(n/m) - 1 terms). A series whose values are whole
// multiples of one step is summed exactly in 64-bit counts with 128-bit squares;
// any other in long double. Memory stays bounded: the short clusters share one
// pass over a window of X, each long one reads the stored series at three places.
#include "AnalysisHooks.h"
#include "SampleStore.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace gyro::analysis {

enum class TauSpacing {
    Octave, // m = 1, 2, 4, 8, ...
    Decade, // m = 1, 2, 4, 10, 20, 40, 100, ...
    All,    // every m
};

// "All" runs one pass per cluster size: allowed up to this many samples.
inline constexpr std::int64_t MaxSamplesForAllTaus = 1 << 16;

// The cluster sizes of a spacing for n samples: up to n / 2 (two clusters).
std::vector<std::int64_t> ClusterSizes(std::int64_t n, TauSpacing spacing);

struct AllanPoint {
    double tau = 0;              // seconds
    std::int64_t m = 0;          // samples a cluster
    std::int64_t clusters = 0;   // floor(n / m): independent clusters of that length (see `grid`)
    std::int64_t terms = 0;      // squared differences summed
    double adev = 0;             // in the series' units
    double edf = 0;              // equivalent degrees of freedom
    double lower = 0, upper = 0; // the confidence interval of adev
};

struct SeriesToAnalyse {
    const SampleStore<double>& samples;
    double intervalSeconds;
    double quantum; // 0: no common step, sum in long double
    // The largest |value / quantum| when known (-1: not known): counts that fit 16
    // bits are stored in 16 bits, which halves what the long clusters read.
    std::int64_t largestCount = -1;
    // The series on its time grid with NaN in the slots of missed samples, when the
    // log missed any: the deviation is then taken over the grid (GappedAllan.h), and a
    // point's clusters and terms are both the terms used.
    const SampleStore<double>* grid = nullptr;
};

struct AllanOptions {
    TauSpacing spacing = TauSpacing::Octave;
    bool overlapping = true;
    double confidence = 0.683; // of the interval: one standard deviation
};

// The deviations at the spacing's cluster sizes with their intervals; empty after
// a cancel or a failed read of the stored series.
std::vector<AllanPoint> AllanDeviation(const SeriesToAnalyse& series, const AllanOptions& options,
                                       const AnalysisHooks& hooks);

// Equivalent degrees of freedom of an Allan variance estimate, for white rate noise
// (the gyroscope's angle random walk): overlapping, with N = n + 1 phase points,
//   edf = (3 (N - 1) / (2 m) - 2 (N - 2) / N) * 4 m^2 / (4 m^2 + 5);
// non-overlapping, the number of terms. At least 1.
double AllanEdf(std::int64_t n, std::int64_t m, bool overlapping);

// The interval holding the true deviation with the given confidence: from the
// chi-squared quantiles of edf degrees of freedom; lower < adev < upper.
void AllanInterval(AllanPoint& point, double confidence);

} // namespace gyro::analysis
