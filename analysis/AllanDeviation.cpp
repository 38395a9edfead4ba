#include "AllanDeviation.h"

#include "ChiSquared.h"
#include "GappedAllan.h"

#include <algorithm>
#include <cmath>

namespace gyro::analysis {

namespace {

__extension__ typedef unsigned __int128 UInt128;

// The exact sum of squares of 64-bit differences in 128 bits. Most differences are
// small: their squares gather in 64 bits (2^11 squares below 2^52 stay below 2^63)
// and join the 128-bit total now and then, which keeps the loop in registers.
class ExactSquares {
public:
    void add(std::int64_t d)
    {
        const auto a = static_cast<std::uint64_t>(d < 0 ? -d : d);
        if (a < (std::uint64_t{1} << 26)) {
            part_ += a * a;
            if (++terms_ == 2048) {
                total_ += part_;
                part_ = 0;
                terms_ = 0;
            }
        } else {
            total_ += static_cast<UInt128>(a) * a;
        }
    }
    void add(const ExactSquares& other) { total_ += other.value(); }
    UInt128 value() const { return total_ + part_; }

    // The squared second differences of X over a stretch of the window, for the
    // windowed pass: a chunk's squares sum in 64 bits without a branch (so the loop
    // vectorizes) and count when every |d| was below 2^26; else the chunk again, exactly.
    void addDifferences(const std::int64_t* x, std::int64_t first, std::int64_t end, std::int64_t m)
    {
        constexpr std::int64_t Chunk = 2048;
        for (std::int64_t from = first; from < end; from += Chunk) {
            const std::int64_t to = std::min(end, from + Chunk);
            std::uint64_t sum = 0, bits = 0;
            for (std::int64_t j = from; j < to; ++j) {
                const std::int64_t d = x[j] - 2 * x[j - m] + x[j - 2 * m];
                const auto a = static_cast<std::uint64_t>(d < 0 ? -d : d);
                bits |= a;
                sum += a * a;
            }
            if (bits < (std::uint64_t{1} << 26)) {
                total_ += sum;
                continue;
            }
            for (std::int64_t j = from; j < to; ++j)
                add(x[j] - 2 * x[j - m] + x[j - 2 * m]);
        }
    }

private:
    UInt128 total_ = 0;
    std::uint64_t part_ = 0;
    int terms_ = 0;
};

class FloatSquares {
public:
    void add(long double d) { total_ += d * d; }
    void add(const FloatSquares& other) { total_ += other.total_; }
    long double value() const { return total_; }
    void addDifferences(const long double* x, std::int64_t first, std::int64_t end, std::int64_t m)
    {
        for (std::int64_t j = first; j < end; ++j)
            add(x[j] - 2 * x[j - m] + x[j - 2 * m]);
    }

private:
    long double total_ = 0;
};

// Counts: exact 64-bit sums, 128-bit sums of squares.
template <class Count> struct ExactSums {
    using Sample = Count;
    using Sum = std::int64_t;
    using Squares = ExactSquares;
};

// Any values: long double sums.
struct FloatSums {
    using Sample = double;
    using Sum = long double;
    using Squares = FloatSquares;
};

// X is known at every multiple of this from the first pass, so a reader can start anywhere.
constexpr std::int64_t CheckpointEvery = 1 << 16;
// Cluster sizes up to this share the one windowed pass.
constexpr std::int64_t WindowedUpTo = 1 << 15;
constexpr std::int64_t Block = 2 * WindowedUpTo;

template <class Sums> struct Engine {
    using Sample = typename Sums::Sample;
    using Sum = typename Sums::Sum;
    using Squares = typename Sums::Squares;

    const SampleStore<Sample>& store;
    std::int64_t n;
    const AnalysisHooks& hooks;
    double workUnits;
    double workDone = 0;
    std::vector<Sum> checkpoints; // X at 0, CheckpointEvery, 2 CheckpointEvery, ...

    bool progress(double fractionOfUnit)
    {
        hooks.report("Allan deviation", (workDone + fractionOfUnit) / workUnits);
        return !hooks.cancelled();
    }

    // The overlapping sums of every m <= WindowedUpTo in one pass over a window of X
    // holding the 2 * largest m values before the block being added; also the checkpoints.
    bool windowedPass(const std::vector<std::int64_t>& sizes, std::vector<Squares>& sums)
    {
        const std::int64_t history = 2 * (sizes.empty() ? 1 : sizes.back());
        // No window index passes n (X has n + 1 values), so a short series needs no full block.
        std::vector<Sum> x(static_cast<std::size_t>(std::min(history + Block, n + 1)));
        auto reader = store.reader(0);
        std::int64_t lo = 0;     // X index of x[0]
        std::int64_t filled = 1; // x[0] = X_0 = 0
        Sum running = 0;
        checkpoints.assign(1, Sum{0});
        while (lo + filled <= n) {
            const std::int64_t from = lo + filled; // first X index this block adds
            const std::int64_t to = std::min(n + 1, from + Block);
            for (std::int64_t k = from; k < to; ++k) {
                running += static_cast<Sum>(reader.next());
                x[static_cast<std::size_t>(k - lo)] = running;
                if (k % CheckpointEvery == 0)
                    checkpoints.push_back(running);
            }
            filled = to - lo;
            for (std::size_t i = 0; i < sizes.size(); ++i) {
                const std::int64_t m = sizes[i];
                const Sum* p = x.data();
                // j is the window index of X_k, for every k from max(from, 2m) to the block's end.
                const std::int64_t first = std::max(from, 2 * m) - lo, end = to - lo;
                sums[i].addDifferences(p, first, end, m);
            }
            if (!progress(static_cast<double>(to) / static_cast<double>(n + 1)))
                return false;
            // Keep the last `history` values for the next block.
            const std::int64_t keep = std::min(history, filled);
            std::copy(x.begin() + (filled - keep), x.begin() + filled, x.begin());
            lo += filled - keep;
            filled = keep;
        }
        ++workDone;
        return true;
    }

    // X at any index: the checkpoint before it plus the samples up to it.
    Sum xAt(std::int64_t index, typename SampleStore<Sample>::Reader& reader) const
    {
        Sum x = checkpoints[static_cast<std::size_t>(index / CheckpointEvery)];
        for (std::int64_t k = index / CheckpointEvery * CheckpointEvery; k < index; ++k)
            x += static_cast<Sum>(reader.next());
        return x;
    }

    // One long cluster size: three readers walk X at k, k + m and k + 2m.
    bool longPass(std::int64_t m, Squares& sum)
    {
        auto startReader = [&](std::int64_t index, Sum& x) {
            auto r = store.reader(index / CheckpointEvery * CheckpointEvery);
            x = xAt(index, r);
            return r;
        };
        Sum x0{}, x1{}, x2{};
        auto r0 = startReader(0, x0);
        auto r1 = startReader(m, x1);
        auto r2 = startReader(2 * m, x2);
        const std::int64_t last = n - 2 * m;
        Squares s;
        for (std::int64_t k = 0;; ++k) {
            s.add(x2 - 2 * x1 + x0);
            if (k == last)
                break;
            x0 += static_cast<Sum>(r0.next());
            x1 += static_cast<Sum>(r1.next());
            x2 += static_cast<Sum>(r2.next());
            if ((k & 0xFFFFF) == 0xFFFFF && !progress(static_cast<double>(k) / static_cast<double>(last))) {
                return false;
            }
        }
        sum = s;
        ++workDone;
        return true;
    }

    // Non-overlapping sums of every size in one pass: the last two X at multiples of m.
    bool strided(const std::vector<std::int64_t>& sizes, std::vector<Squares>& sums)
    {
        struct Last {
            Sum before{}, last{};
            std::int64_t seen = 0;
        };
        std::vector<Last> state(sizes.size());
        auto reader = store.reader(0);
        Sum x{};
        for (std::int64_t k = 0; k <= n; ++k) {
            if (k > 0)
                x += static_cast<Sum>(reader.next());
            for (std::size_t i = 0; i < sizes.size(); ++i) {
                if (k % sizes[i] != 0)
                    continue;
                Last& l = state[i];
                if (l.seen >= 2)
                    sums[i].add(x - 2 * l.last + l.before);
                l.before = l.last;
                l.last = x;
                ++l.seen;
            }
            if ((k & 0xFFFFF) == 0xFFFFF && !progress(static_cast<double>(k) / static_cast<double>(n)))
                return false;
        }
        return true;
    }
};

template <class Sums>
std::vector<long double> sumsOfSquares(const SampleStore<typename Sums::Sample>& store,
                                       const std::vector<std::int64_t>& sizes, bool overlapping,
                                       const AnalysisHooks& hooks)
{
    const auto firstLong = std::upper_bound(sizes.begin(), sizes.end(), WindowedUpTo);
    const std::vector<std::int64_t> windowed(sizes.begin(), firstLong);
    const auto longCount = static_cast<double>(sizes.end() - firstLong);
    Engine<Sums> engine{store, store.size(), hooks, overlapping ? 1.0 + longCount : 1.0, 0.0, {}};
    std::vector<typename Sums::Squares> sums(sizes.size());
    if (!overlapping) {
        if (!engine.strided(sizes, sums))
            return {};
    } else {
        if (!engine.windowedPass(windowed, sums))
            return {};
        for (std::size_t i = windowed.size(); i < sizes.size(); ++i)
            if (!engine.longPass(sizes[i], sums[i]))
                return {};
    }
    if (store.readFailed())
        return {};
    std::vector<long double> result;
    for (const auto& s : sums)
        result.push_back(static_cast<long double>(s.value()));
    return result;
}

// The series as whole counts of its step, for the exact sums.
template <class Count> SampleStore<Count> countsOf(const SampleStore<double>& samples, double quantum)
{
    SampleStore<Count> counts(samples.storage());
    auto reader = samples.reader(0);
    for (std::int64_t k = 0; k < samples.size(); ++k)
        counts.append(static_cast<Count>(std::nearbyint(reader.next() / quantum)));
    counts.flush();
    return counts;
}

template <class Count>
std::vector<long double> exactSums(const SeriesToAnalyse& series, const std::vector<std::int64_t>& sizes,
                                   bool overlapping, const AnalysisHooks& hooks)
{
    const SampleStore<Count> counts = countsOf<Count>(series.samples, series.quantum);
    if (!counts.failure().empty())
        return {};
    return sumsOfSquares<ExactSums<Count>>(counts, sizes, overlapping, hooks);
}

} // namespace

std::vector<std::int64_t> ClusterSizes(std::int64_t n, TauSpacing spacing)
{
    std::vector<std::int64_t> sizes;
    const std::int64_t most = n / 2;
    switch (spacing) {
    case TauSpacing::Octave:
        for (std::int64_t m = 1; m <= most; m *= 2)
            sizes.push_back(m);
        break;
    case TauSpacing::Decade:
        for (std::int64_t decade = 1; decade <= most; decade *= 10)
            for (std::int64_t step : {1, 2, 4})
                if (decade * step <= most)
                    sizes.push_back(decade * step);
        break;
    case TauSpacing::All:
        for (std::int64_t m = 1; m <= most; ++m)
            sizes.push_back(m);
        break;
    }
    return sizes;
}

double AllanEdf(std::int64_t n, std::int64_t m, bool overlapping)
{
    if (!overlapping)
        return std::max<double>(1.0, static_cast<double>(n / m - 1));
    const double phasePoints = static_cast<double>(n + 1);
    const double md = static_cast<double>(m);
    const double edf = (3.0 * (phasePoints - 1.0) / (2.0 * md) - 2.0 * (phasePoints - 2.0) / phasePoints) *
                       4.0 * md * md / (4.0 * md * md + 5.0);
    return std::max(1.0, edf);
}

void AllanInterval(AllanPoint& point, double confidence)
{
    const double tail = (1.0 - confidence) / 2.0;
    point.lower = point.adev * std::sqrt(point.edf / ChiSquaredQuantile(1.0 - tail, point.edf));
    point.upper = point.adev * std::sqrt(point.edf / ChiSquaredQuantile(tail, point.edf));
}

// The overlapping deviation over a time grid with empty slots. The degrees of
// freedom are those of the whole grid, in the share of its terms that were used.
static std::vector<AllanPoint> gappedDeviation(const SeriesToAnalyse& series, const AllanOptions& options,
                                               const AnalysisHooks& hooks)
{
    const std::int64_t gridSlots = series.grid->size();
    const std::vector<std::int64_t> sizes = ClusterSizes(gridSlots, options.spacing);
    const std::vector<GappedSum> sums = GappedAllanSums(*series.grid, sizes, hooks);
    std::vector<AllanPoint> points;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        if (sums[i].terms == 0)
            continue;
        AllanPoint p;
        p.m = sizes[i];
        p.tau = static_cast<double>(p.m) * series.intervalSeconds;
        p.clusters = p.terms = sums[i].terms;
        p.adev = static_cast<double>(std::sqrt(sums[i].squares / (2.0L * static_cast<long double>(p.terms))));
        const auto allTerms = static_cast<double>(gridSlots - 2 * p.m + 1);
        p.edf = std::max(1.0, AllanEdf(gridSlots, p.m, true) * static_cast<double>(p.terms) / allTerms);
        AllanInterval(p, options.confidence);
        points.push_back(p);
    }
    return points;
}

std::vector<AllanPoint> AllanDeviation(const SeriesToAnalyse& series, const AllanOptions& options,
                                       const AnalysisHooks& hooks)
{
    if (series.grid != nullptr && options.overlapping)
        return gappedDeviation(series, options, hooks);
    const std::int64_t n = series.samples.size();
    const std::vector<std::int64_t> sizes = ClusterSizes(n, options.spacing);
    if (sizes.empty())
        return {};
    std::vector<long double> sums;
    if (series.quantum > 0) {
        const bool fits16 = series.largestCount >= 0 && series.largestCount <= INT16_MAX;
        sums = fits16 ? exactSums<std::int16_t>(series, sizes, options.overlapping, hooks)
                      : exactSums<std::int32_t>(series, sizes, options.overlapping, hooks);
    } else {
        sums = sumsOfSquares<FloatSums>(series.samples, sizes, options.overlapping, hooks);
    }
    if (sums.empty())
        return {};
    const long double step = series.quantum > 0 ? series.quantum : 1.0;
    std::vector<AllanPoint> points;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        AllanPoint p;
        p.m = sizes[i];
        p.tau = static_cast<double>(p.m) * series.intervalSeconds;
        p.clusters = n / p.m;
        p.terms = options.overlapping ? n - 2 * p.m + 1 : p.clusters - 1;
        const long double md = static_cast<long double>(p.m);
        const long double avar = sums[i] / (2.0L * md * md * static_cast<long double>(p.terms));
        p.adev = static_cast<double>(std::sqrt(avar) * step);
        p.edf = AllanEdf(n, p.m, options.overlapping);
        AllanInterval(p, options.confidence);
        points.push_back(p);
    }
    return points;
}

} // namespace gyro::analysis
