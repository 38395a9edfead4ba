#pragma once
// Simulated time for tests and the simulated PC: a clock that moves only when told,
// and a busy loop that advances it by what the loop would take on a modelled PC.
#include "Clock.h"

#include <vector>

namespace gyro::sim {

class FakeClock final : public Clock {
public:
    double secondsSinceMidnight() override;
    double monotonicSeconds() override { return now_; }
    // Simulated time jumps to the deadline; each sleep is recorded.
    void sleepUntil(double deadline) override;
    const std::vector<double>& sleeps() const { return sleeps_; }

    void advance(double seconds) { now_ += seconds; }
    void setMonotonic(double seconds) { now_ = seconds; }
    // Time of day at monotonic 0; the time of day wraps at midnight.
    void setMidnightOffset(double secondsSinceMidnightAtStart)
    {
        midnightOffset_ = secondsSinceMidnightAtStart;
    }

private:
    double now_ = 0.0;
    std::vector<double> sleeps_; // seconds slept, one entry per sleep
    double midnightOffset_ = 12 * 3600.0;
};

class FakeBusyLoop final : public BusyLoop {
public:
    // `secondsPerTurn`: how long one turn of the empty inner loop takes on the modelled PC.
    FakeBusyLoop(FakeClock& clock, double secondsPerTurn) : clock_(clock), secondsPerTurn_(secondsPerTurn) {}

    void spin(std::int64_t units, std::int32_t turnsPerUnit) override;

    void setSecondsPerTurn(double seconds) { secondsPerTurn_ = seconds; }
    // Every spin so far: units and turns per unit.
    struct Spin {
        std::int64_t units;
        std::int32_t turnsPerUnit;
    };
    const std::vector<Spin>& spins() const { return spins_; }
    void clearSpins() { spins_.clear(); }

private:
    FakeClock& clock_;
    double secondsPerTurn_;
    std::vector<Spin> spins_;
};

} // namespace gyro::sim
