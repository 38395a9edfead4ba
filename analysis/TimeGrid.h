#pragma once
// What a log's time column says about its samples. A sensor-paced log holds the
// sensor's own sample times: whole sample periods apart, a missed sample leaving a
// step of two periods or more. Such a column is a time grid: its interval is the
// sensor's period, to the precision the whole column allows (the span over the
// count of periods in it, so 1/2048 s comes back from microsecond times),
// and each sample has its slot on the grid. The period is the least-squares slope
// of the times over their slots, so the times' rounding averages out. A column whose steps are not whole
// periods (a log paced by the computer) gives the mean step, as before. A column
// that runs backwards or holds absurd times is not trusted at all.
#include "SampleStore.h"

#include <QString>
#include <cstdint>

namespace gyro::analysis {

enum class TimeColumnKind {
    Grid,      // whole periods apart: interval, slots, gaps
    Irregular, // steps of any length: the mean step
    Untrusted, // backwards or absurd: `problem` tells why
};

struct TimeColumnFacts {
    TimeColumnKind kind = TimeColumnKind::Untrusted;
    double intervalSeconds = 0;
    double firstTime = 0;
    std::int64_t gridSlots = 0; // grid slots from the first sample to the last, both included
    std::int64_t gaps = 0;      // steps of more than one period
    std::int64_t missed = 0;    // empty slots
    double typicalStep = 0;     // the median step, where the walk over the grid starts
    QString problem;
};

// The times of the samples, in order (at least 2).
TimeColumnFacts ExamineTimeColumn(const SampleStore<double>& times);

// The samples on their grid (kind Grid): a slot a sample period, NaN where the
// sensor's sample was missed; kept where the samples are kept.
SampleStore<double> SamplesOnGrid(const SampleStore<double>& samples, const SampleStore<double>& times,
                                  const TimeColumnFacts& facts);

} // namespace gyro::analysis
