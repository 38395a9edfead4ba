#include "GappedAllan.h"

#include <cmath>

namespace gyro::analysis {

namespace {

// The sum and the count of the samples before a slot, moved along one slot at a time.
struct RunningSum {
    SampleStore<double>::Reader reader;
    long double sum = 0;
    std::int64_t count = 0;

    void advance()
    {
        const double v = reader.next();
        if (!std::isnan(v)) {
            sum += v;
            ++count;
        }
    }
};

RunningSum runningSumAt(const SampleStore<double>& grid, std::int64_t slot)
{
    RunningSum r{grid.reader(0)};
    for (std::int64_t k = 0; k < slot; ++k)
        r.advance();
    return r;
}

GappedSum sumFor(const SampleStore<double>& grid, std::int64_t m)
{
    const std::int64_t need = (m + 1) / 2;
    RunningSum at = runningSumAt(grid, 0), middle = runningSumAt(grid, m), end = runningSumAt(grid, 2 * m);
    GappedSum s;
    const std::int64_t last = grid.size() - 2 * m;
    for (std::int64_t k = 0;; ++k) {
        const std::int64_t first = middle.count - at.count, second = end.count - middle.count;
        if (first >= need && second >= need) {
            const long double d = (end.sum - middle.sum) / static_cast<long double>(second) -
                                  (middle.sum - at.sum) / static_cast<long double>(first);
            s.squares += d * d;
            ++s.terms;
        }
        if (k == last)
            break;
        at.advance();
        middle.advance();
        end.advance();
    }
    return s;
}

} // namespace

std::vector<GappedSum> GappedAllanSums(const SampleStore<double>& grid,
                                       const std::vector<std::int64_t>& sizes, const AnalysisHooks& hooks)
{
    std::vector<GappedSum> sums;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        sums.push_back(sumFor(grid, sizes[i]));
        hooks.report("Allan deviation", static_cast<double>(i + 1) / static_cast<double>(sizes.size()));
        if (hooks.cancelled() || grid.readFailed())
            return {};
    }
    return sums;
}

} // namespace gyro::analysis
