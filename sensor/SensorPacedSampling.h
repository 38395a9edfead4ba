#pragma once
// Sensor-paced sampling for a logging run: one line per sample the sensor makes.
// The sampler waits for the sensor's next sample (the new-data flag of the first
// selected register), reading all selected registers in one burst per poll, so each
// sample is taken exactly once and with the time it was found. Between polls it
// sleeps on the monotonic clock: no core spins while the sensor works. Samples the
// run could not take show as gaps longer than 1.5 sample periods (from Smpl_Prd)
// and are counted.
#include "DatalogRun.h"
#include "DatalogSettings.h"
#include "GyroState.h"
#include "RegisterBurst.h"

#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace gyro {

enum class PacedResult {
    Fresh,     // a new sample: sampleTime() and reading() hold it
    Failed,    // a read brought no answer
    Cancelled, // the cancel check asked to stop while waiting
};

class SensorPacedSampler {
public:
    // How long a wait may sleep before it yields and asks the cancel check.
    static constexpr double LongestSleepSeconds = 0.05;

    SensorPacedSampler(GyroState& g, const DatalogSettings& settings);

    // Waits for the sensor's next sample and takes it. The first call reads the
    // sample period from Smpl_Prd.
    PacedResult next(const DatalogHooks& hooks);

    // Monotonic seconds when the sensor made the sample, as the polls around it tell.
    double sampleTime() const { return sampleTime_; }
    // The reading of column k (0..4) of the sample; only selected columns are read.
    const RegisterReading& reading(std::size_t column) const { return readings_[column]; }
    // Samples the sensor made that the run did not take, so far.
    std::int64_t missed() const { return missed_; }
    // Polls (bursts) so far, the ones that found a sample and the ones that did not.
    std::int64_t polls() const { return polls_; }
    // The sample period read from the sensor (seconds); 0 before the first sample.
    double periodSeconds() const { return period_.value_or(0.0); }

private:
    bool waitUntil(double deadline, const DatalogHooks& hooks);
    bool pollOnce();
    double sampleTimeWithin(double lower, double upper) const;
    void countGap(double time);

    GyroState& g_;
    std::array<int, 5> indexes_{};
    std::size_t selected_ = 0;
    std::array<std::size_t, 5> columnOf_{}; // burst position -> column
    std::array<RegisterReading, 5> burst_{};
    std::array<RegisterReading, 5> readings_{};
    std::optional<double> period_;
    double nextPoll_ = 0.0;
    double lastYield_ = 0.0;
    double lastPoll_ = 0.0;    // when the poll before the current one began
    double lateWake_ = 0.0;    // how late a sleep has woken, on average
    double pollSeconds_ = 0.0; // how long a poll takes, on average
    double gapResidue_ = 0.0;  // see SamplesMissedInGap
    std::optional<double> lastSample_;
    double sampleTime_ = 0.0;
    std::int64_t missed_ = 0;
    std::int64_t polls_ = 0;
};

// Seconds with six decimals and the locale's decimal mark, no group separators:
// the time column of a sensor-paced run, exact to the microsecond however long it runs.
QString MicrosecondTime(double seconds, const QLocale& locale);

// How many samples a gap between two taken samples hides: none up to 1.5 periods,
// otherwise the whole periods in it less the one that was taken. `residue` carries
// the rounding from one long gap to the next (start with 0; a short gap clears it),
// so the poll times' jitter does not add up over a run of long gaps.
std::int64_t SamplesMissedInGap(double gapSeconds, double periodSeconds, double& residue);

// The closing note of a run that missed samples (empty when none were missed).
QString SamplesMissedNote(std::int64_t missed);

} // namespace gyro
