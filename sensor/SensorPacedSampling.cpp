#include "SensorPacedSampling.h"

#include "OperationWords.h"
#include "RegisterAccess.h"

#include <algorithm>
#include <cmath>

namespace gyro {

namespace {

// After a sample the next poll is aimed one step (and the wake-up delay the sleeps
// have shown) before the next one is due, then repeated every step until the flag
// shows. A step is an eighth of a period, at most 0.25 ms, and never shorter than a
// poll takes. A poll that comes late finds the sample at once, and the next one
// comes a step earlier still: so a poll that finds nothing comes every few samples,
// the time of the poll that finds a sample stays within a step or so of the sample
// (late wake-ups do not add up), and a gap in those times shows a sample that was
// missed. Most samples cost one or two reads.
constexpr double StepShare = 0.125;
constexpr double LongestStepSeconds = 0.00025;
constexpr double LongestLeadShare = 0.5;
constexpr double RunningMeanWeight = 1.0 / 16; // of how late a sleep wakes, how long a poll takes

} // namespace

SensorPacedSampler::SensorPacedSampler(GyroState& g, const DatalogSettings& settings) : g_(g)
{
    for (std::size_t k = 0; k < DatalogColumns.size(); ++k) {
        if (!settings.CheckReg[k])
            continue;
        indexes_[selected_] = DatalogColumns[k].registerIndex;
        columnOf_[selected_] = k;
        ++selected_;
    }
}

PacedResult SensorPacedSampler::next(const DatalogHooks& hooks)
{
    Clock& clock = g_.platform.clock;
    if (!period_) {
        const RegisterRead samplePeriod = ReadRegister(g_, Idx_Smpl_Prd);
        if (!samplePeriod)
            return PacedResult::Failed;
        period_ = 1.0 / SampleRateOfWord(samplePeriod->RegWord);
        // A flag already set belongs to a sample of unknown age: this read clears it,
        // so the first line is a sample made now, with its time.
        lastPoll_ = clock.monotonicSeconds();
        if (!pollOnce())
            return PacedResult::Failed;
        nextPoll_ = clock.monotonicSeconds();
        lastYield_ = nextPoll_;
    }
    const double period = *period_;
    const double nominalStep = std::min(StepShare * period, LongestStepSeconds);
    // A poll cannot come sooner than the one before took (a slow card's transactions).
    const double step = std::max(nominalStep, pollSeconds_);
    const double lead = std::min(LongestLeadShare * period, nominalStep + lateWake_);
    for (;;) {
        if (!waitUntil(nextPoll_, hooks))
            return PacedResult::Cancelled;
        const double time = clock.monotonicSeconds();
        if (!pollOnce())
            return PacedResult::Failed;
        pollSeconds_ += RunningMeanWeight * (clock.monotonicSeconds() - time - pollSeconds_);
        const double before = lastPoll_;
        lastPoll_ = time;
        if (burst_[0].RegNewData > 0) {
            const double made = sampleTimeWithin(before, time);
            countGap(made);
            sampleTime_ = made;
            for (std::size_t i = 0; i < selected_; ++i)
                readings_[columnOf_[i]] = burst_[i];
            nextPoll_ = time + period - lead;
            return PacedResult::Fresh;
        }
        nextPoll_ = time + step;
        // A sensor that makes no samples (powered down) must not hold the run.
        if (time - lastYield_ >= LongestSleepSeconds) {
            lastYield_ = time;
            if (hooks.yield)
                hooks.yield();
            if (hooks.cancelRequested && hooks.cancelRequested())
                return PacedResult::Cancelled;
        }
    }
}

bool SensorPacedSampler::waitUntil(double deadline, const DatalogHooks& hooks)
{
    Clock& clock = g_.platform.clock;
    for (double now = clock.monotonicSeconds(); now < deadline; now = clock.monotonicSeconds()) {
        const double until = std::min(deadline, now + LongestSleepSeconds);
        clock.sleepUntil(until);
        const double late = std::max(0.0, clock.monotonicSeconds() - until);
        lateWake_ += RunningMeanWeight * (late - lateWake_);
        if (until < deadline) {
            lastYield_ = until;
            if (hooks.yield)
                hooks.yield();
            if (hooks.cancelRequested && hooks.cancelRequested())
                return false;
        }
    }
    return true;
}

bool SensorPacedSampler::pollOnce()
{
    ++polls_;
    const ReadOutcome<BurstReadings> read =
        ReadRegisterBurst(g_, std::span<const int>(indexes_).first(selected_));
    if (!read)
        return false;
    for (std::size_t i = 0; i < selected_; ++i)
        burst_[i] = (*read)[i];
    return true;
}

// The poll before found nothing new and this one found the newest sample, so the
// sensor made it after `lower` and at most a period before `upper`. The sensor's
// samples are a period apart: the time a whole number of periods after the last
// sample taken that falls in that window is the sample's own; without a sample
// before, the middle of the window.
double SensorPacedSampler::sampleTimeWithin(double lower, double upper) const
{
    const double period = *period_;
    const double from = std::max(lower, upper - period);
    const double middle = 0.5 * (from + upper);
    if (!lastSample_)
        return middle;
    const double periods = std::max(1.0, std::round((middle - *lastSample_) / period));
    return std::clamp(*lastSample_ + periods * period, from, upper);
}

void SensorPacedSampler::countGap(double time)
{
    if (lastSample_)
        missed_ += SamplesMissedInGap(time - *lastSample_, *period_, gapResidue_);
    lastSample_ = time;
}

QString MicrosecondTime(double seconds, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(seconds, 'f', 6);
}

std::int64_t SamplesMissedInGap(double gapSeconds, double periodSeconds, double& residue)
{
    if (!(periodSeconds > 0) || !(gapSeconds > 1.5 * periodSeconds)) {
        residue = 0;
        return 0;
    }
    // The sensor's samples are a period apart, so a gap spans a whole number of
    // periods; what the poll times add or take is carried to the next long gap
    // instead of being rounded away each time.
    const double periods = gapSeconds / periodSeconds + residue;
    const std::int64_t whole = std::max<std::int64_t>(1, std::llround(periods));
    residue = periods - static_cast<double>(whole);
    return whole - 1;
}

QString SamplesMissedNote(std::int64_t missed)
{
    if (missed <= 0)
        return {};
    return QStringLiteral(
               "%1 sample%2 the sensor made could not be taken (gaps longer than 1.5 sample periods).")
        .arg(missed)
        .arg(missed == 1 ? QString() : QStringLiteral("s"));
}

} // namespace gyro
