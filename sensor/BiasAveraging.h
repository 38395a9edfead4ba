#pragma once
// The bias averaging run of the calibration window and gyroctl: it measures the
// uncorrected rate bias over a chosen time and proposes the offset that cancels it.
#include "GyroState.h"
#include "OffsetEntry.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace gyro {

constexpr double LongestAveragingSeconds = 1000.0;
constexpr double ShortestAveragingSeconds = 0.0001;
// The averaging time for an entry in seconds: above 1000 s 1000 s; below 0.0001 s
// (0, negative, not a number) 0, which makes a run of exactly one sample.
double LimitedAveragingSeconds(double seconds);

struct AveragingProgress {
    float sample = 0.0f; // latest Gyro_Out reading, deg/s
    double mean = 0.0;
    std::int64_t count = 0;
    double remainingSeconds = 0.0; // may end slightly below 0
};

struct AveragingHooks {
    // Once the offset register is cleared, before the first sample.
    std::function<void()> runStarted;
    // After each sample: show it, and let the window system run once.
    std::function<void(const AveragingProgress&)> sampleTaken;
    // Tested after each sample: true ends the run there.
    std::function<bool()> stopRequested;
};

struct AveragingResult {
    bool offsetCleared = false;                // GYRO_OFST was read and then set to 0 before the first sample
    std::optional<OffsetReading> offsetBefore; // what GYRO_OFST held before the run cleared it
    std::int64_t count = 0;                    // samples read; a failed read is never counted
    double mean = 0.0;                         // of the samples read; 0 when there are none
    bool readFailed = false;                   // the run ended because Gyro_Out did not answer
    bool stopped = false;                      // the run ended because a stop was requested
};

// Reads GYRO_OFST (a run whose offset cannot be put back is not made), clears it,
// so that the mean is the uncorrected bias, then reads Gyro_Out as
// fast as the transport allows until `seconds` (already limited) have passed on the
// monotonic clock, a stop is requested, or a read fails. Keeps a running sum, so
// memory does not grow with the time or the sample rate.
AveragingResult RunBiasAveraging(GyroState& g, double seconds, const AveragingHooks& hooks = {});

// Writes back the offset a run cleared (with the write's wait and read-back); the
// read-back, or nothing when it failed or the run cleared nothing. Every run that
// does not end with its proposal applied ends with this, so that a stopped or
// abandoned run never leaves the sensor without the calibration it had.
std::optional<OffsetReading> RestoreClearedOffset(GyroState& g, const AveragingResult& result);

// A value as shown with three decimals, read back as a number (the display rounds
// halves away from zero).
double ShownToThreeDecimals(double value);
// The offset that cancels a mean bias: the mean as shown, negated.
double ProposedGyroOffset(double mean);
// The message for a run that a failed read ended.
QString AveragingReadFailedMessage(std::int64_t count);

} // namespace gyro
