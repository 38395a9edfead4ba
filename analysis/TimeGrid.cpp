#include "TimeGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace gyro::analysis {

namespace {

// The typical step is the median of this many first steps: memory stays bounded.
constexpr std::size_t StepsForMedian = 1 << 16;
// How far (in periods) a step of a time grid may be from a whole number of periods.
constexpr double GridTolerance = 0.25;
// From this many periods on, the period is the span walked so far over its periods:
// far finer than one step tells, so a long gap later still counts its periods right.
constexpr std::int64_t RefineAfterPeriods = 1024;
// Steps that are not whole periods: a mean step this many typical steps long means a
// time far off the rest (a stray huge value), not a log.
constexpr double MostMeanOverTypical = 8;

// Walks the times in order and counts the periods between them, with the period
// known ever more finely as the span grows.
class GridWalk {
public:
    GridWalk(double firstTime, double typicalStep)
        : first_(firstTime), previous_(firstTime), period_(typicalStep)
    {
    }
    // The periods from the previous time to `time`; 0 when the step is no whole
    // number of periods, -1 when it is absurdly long (more than `most` periods).
    std::int64_t step(double time, double most)
    {
        const double periods = (time - previous_) / period_;
        if (!(periods <= most))
            return -1;
        const auto whole = static_cast<std::int64_t>(std::llround(periods));
        if (whole < 1 || std::abs(periods - static_cast<double>(whole)) > GridTolerance)
            return 0;
        slot_ += whole;
        previous_ = time;
        if (slot_ >= RefineAfterPeriods)
            period_ = (time - first_) / static_cast<double>(slot_);
        return whole;
    }
    std::int64_t slot() const { return slot_; }

private:
    double first_, previous_, period_;
    std::int64_t slot_ = 0;
};

// The least-squares slope of time over slot: every time's rounding (microseconds,
// or seven digits) averages out, so the period comes far finer than from the span.
class LineFit {
public:
    void add(std::int64_t slot, double time)
    {
        const auto x = static_cast<long double>(slot);
        ++n_;
        sx_ += x;
        sxx_ += x * x;
        st_ += time;
        sxt_ += x * time;
    }
    double slope() const { return static_cast<double>((n_ * sxt_ - sx_ * st_) / (n_ * sxx_ - sx_ * sx_)); }

private:
    long double n_ = 0, sx_ = 0, sxx_ = 0, st_ = 0, sxt_ = 0;
};

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

// Finite, never backwards, and the median of the first steps; `problem` when not.
double typicalStepOf(const SampleStore<double>& times, double* first, double* last, QString* problem)
{
    auto reader = times.reader(0);
    std::vector<double> steps;
    double previous = reader.next();
    *first = previous;
    for (std::int64_t k = 1; k <= times.size(); ++k) {
        if (!std::isfinite(previous)) {
            *problem = QStringLiteral("sample %1 has the time %2").arg(k).arg(number(previous));
            return 0;
        }
        if (k == times.size())
            break;
        const double t = reader.next();
        if (t < previous) {
            *problem = QStringLiteral("the time column runs backwards at sample %1 (%2 s after %3 s)")
                           .arg(k + 1)
                           .arg(number(t), number(previous));
            return 0;
        }
        if (steps.size() < StepsForMedian)
            steps.push_back(t - previous);
        previous = t;
    }
    *last = previous;
    const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    return *middle;
}

// Fills the grid's facts when every step is a whole number of periods; false when not.
bool placeOnGrid(const SampleStore<double>& times, TimeColumnFacts& f)
{
    const std::int64_t n = times.size();
    auto reader = times.reader(0);
    GridWalk walk(reader.next(), f.typicalStep);
    // More empty slots than samples leaves no cluster half full: not a log's grid.
    const auto most = static_cast<double>(2 * n);
    LineFit fit;
    fit.add(0, 0);
    for (std::int64_t k = 1; k < n; ++k) {
        const double t = reader.next();
        const std::int64_t periods = walk.step(t, most);
        if (periods == 0)
            return false;
        if (periods < 0 || walk.slot() + 1 > 2 * n) {
            f.kind = TimeColumnKind::Untrusted;
            f.problem =
                QStringLiteral("the time column puts %1 samples a typical %2 s apart over %3 s")
                    .arg(n)
                    .arg(number(f.typicalStep), number(f.intervalSeconds * static_cast<double>(n - 1)));
            return true;
        }
        if (periods > 1)
            ++f.gaps;
        fit.add(walk.slot(), t - f.firstTime);
    }
    f.kind = TimeColumnKind::Grid;
    f.gridSlots = walk.slot() + 1;
    f.missed = f.gridSlots - n;
    f.intervalSeconds = fit.slope();
    return true;
}

} // namespace

TimeColumnFacts ExamineTimeColumn(const SampleStore<double>& times)
{
    TimeColumnFacts f;
    double last = 0;
    f.typicalStep = typicalStepOf(times, &f.firstTime, &last, &f.problem);
    if (!f.problem.isEmpty())
        return f;
    const double span = last - f.firstTime;
    if (!(span > 0) || !std::isfinite(span)) {
        f.problem = QStringLiteral("the time column spans %1 s").arg(number(span));
        return f;
    }
    f.intervalSeconds = span / static_cast<double>(times.size() - 1); // the mean step
    if (f.typicalStep > 0 && placeOnGrid(times, f))
        return f;
    if (f.typicalStep > 0 && f.intervalSeconds > MostMeanOverTypical * f.typicalStep) {
        f.problem = QStringLiteral("the time column spans %1 s for %2 samples a typical %3 s apart")
                        .arg(number(span))
                        .arg(times.size())
                        .arg(number(f.typicalStep));
        return f;
    }
    f.kind = TimeColumnKind::Irregular;
    return f;
}

SampleStore<double> SamplesOnGrid(const SampleStore<double>& samples, const SampleStore<double>& times,
                                  const TimeColumnFacts& facts)
{
    SampleStore<double> grid(samples.storage());
    auto values = samples.reader(0);
    auto at = times.reader(0);
    GridWalk walk(at.next(), facts.typicalStep);
    grid.append(values.next());
    const auto most = static_cast<double>(facts.gridSlots);
    for (std::int64_t k = 1; k < samples.size(); ++k) {
        for (std::int64_t empty = walk.step(at.next(), most); empty > 1; --empty)
            grid.append(std::numeric_limits<double>::quiet_NaN());
        grid.append(values.next());
    }
    grid.flush();
    return grid;
}

} // namespace gyro::analysis
