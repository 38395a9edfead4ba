#pragma once
// The overlapping Allan variance of a series on its time grid with empty slots
// (missed samples, NaN in the store). For cluster size m each start slot k gives
// two adjacent clusters, slots k .. k+m-1 and k+m .. k+2m-1; a cluster's mean is
// over the samples present in it, and the term (mean2 - mean1)^2 counts when each
// cluster holds at least half its slots (m/2 rounded up). Then
//   AVAR(m) = sum of the terms used / (2 * terms used).
// Without empty slots this is the overlapping variance of the whole series.
#include "AnalysisHooks.h"
#include "SampleStore.h"

#include <cstdint>
#include <vector>

namespace gyro::analysis {

struct GappedSum {
    long double squares = 0; // of the differences of the cluster means
    std::int64_t terms = 0;  // start slots whose two clusters were full enough
};

// One sum per cluster size (each at most half the slots); empty after a cancel or a
// failed read of the store.
std::vector<GappedSum> GappedAllanSums(const SampleStore<double>& grid,
                                       const std::vector<std::int64_t>& sizes, const AnalysisHooks& hooks);

} // namespace gyro::analysis
