#include "Timing.h"

#include "GyroState.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gyro {

std::int64_t DelayUnits(float ms)
{
    if (ms == 0.0f)
        return 0;
    if (ms < 0.01f)
        ms = 0.01f;
    // The product is formed from the single-precision argument in double precision,
    // so 0.015 (held as slightly less) gives 1.4999... and rounds to 1 unit.
    return static_cast<std::int64_t>(RoundHalfEven(static_cast<double>(ms) * 100.0));
}

namespace {

constexpr double SecondsPerUnit = 10e-6;
// Waits longer than this many units sleep on the monotonic clock first. A
// process that spins whole milliseconds competes with every other busy process
// and gets preempted; one that mostly sleeps is woken promptly.
constexpr std::int64_t SleepAboveUnits = 50; // 0.5 ms
// ...until this long before the deadline, and spin only the rest: a sleeper may
// wake a little late, and the rest absorbs that.
constexpr double SpinTailSeconds = 0.00015;
// How often a spin that fell short of the deadline (the count was measured while
// the machine ran at another speed) is topped up. Bounded, so that a wait always
// ends.
constexpr int MaxTopUps = 4;

// The calibrated spin alone: what the calibration measures.
void spinUnits(GyroState& g, std::int64_t units)
{
    g.platform.busyLoop.spin(units, g.LoopsPer10us);
}

// The calibration spins its timed runs in pieces of at most this many units
// (100 ms nominal) and yields to the window system between them, so the start-up
// window stays painted; only the spins are timed, never the yields.
constexpr std::int64_t CalibrationPieceUnits = 10000;

float timeOfSpin(GyroState& g, float ms)
{
    Clock& clock = g.platform.clock;
    double spun = 0.0;
    for (std::int64_t left = DelayUnits(ms); left > 0; left -= CalibrationPieceUnits) {
        const double start = clock.monotonicSeconds();
        spinUnits(g, std::min(left, CalibrationPieceUnits));
        spun += clock.monotonicSeconds() - start;
        g.ui.yield();
    }
    return static_cast<float>(spun);
}

// Scales the loop count so that `measured` seconds become `wanted` seconds. The
// count stays within 1..INT32_MAX: a very slow or very fast measurement must not
// leave a loop of zero turns or overflow.
std::int32_t rescaled(std::int32_t loops, float wanted, float measured)
{
    const double exact = RoundHalfEven(static_cast<double>(wanted) / static_cast<double>(measured) * loops);
    return static_cast<std::int32_t>(
        std::clamp(exact, 1.0, static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

} // namespace

void DelayMs(GyroState& g, float ms)
{
    const std::int64_t units = DelayUnits(ms);
    if (units == 0)
        return;
    if (!g.DelayCalibrated)
        CalibrateDelay(g);
    Clock& clock = g.platform.clock;
    const double deadline = clock.monotonicSeconds() + static_cast<double>(units) * SecondsPerUnit;
    if (units > SleepAboveUnits)
        clock.sleepUntil(deadline - SpinTailSeconds);

    // Spins the time left by the calibrated count; when the clock shows the spin
    // fell short, tops it up at the speed the spin really showed.
    double secondsPerSpunUnit = SecondsPerUnit;
    for (int spin = 0; spin <= MaxTopUps; ++spin) {
        const double left = deadline - clock.monotonicSeconds();
        const auto spinUnitsNow = static_cast<std::int64_t>(std::llround(left / secondsPerSpunUnit));
        if (spinUnitsNow <= 0)
            break;
        const double before = clock.monotonicSeconds();
        spinUnits(g, spinUnitsNow);
        const double took = clock.monotonicSeconds() - before;
        if (took <= 0)
            break; // a clock that does not move with the spin cannot steer it
        secondsPerSpunUnit = std::max(took / static_cast<double>(spinUnitsNow), SecondsPerUnit / 1000);
    }
}

bool DelayMsOrStop(GyroState& g, float ms, const std::function<bool()>& stop)
{
    constexpr double SliceSeconds = 0.02;
    Clock& clock = g.platform.clock;
    const double deadline = clock.monotonicSeconds() + static_cast<double>(DelayUnits(ms)) * SecondsPerUnit;
    // Each slice ends at a later time than the last (a clock that compares equal
    // to the slice's end ends the slicing), so the loop always ends.
    for (;;) {
        const double now = clock.monotonicSeconds();
        const double wakeAt = std::min(now + SliceSeconds, deadline - SliceSeconds);
        if (wakeAt <= now)
            break;
        clock.sleepUntil(wakeAt);
        if (stop && stop())
            return false;
    }
    if (const double left = deadline - clock.monotonicSeconds(); left > 0)
        DelayMs(g, static_cast<float>(left * 1000.0));
    return true;
}

void CalibrateDelay(GyroState& g)
{
    g.DelayCalibrated = true;
    g.LoopsPer10us = 1000;
    g.ui.setBusyCursor(true);
    if (g.CommandLineGiven)
        g.LoopsPer10us = 1000 / 5;

    float t = timeOfSpin(g, 500);
    if (t < 0.005f) { // far too fast to measure: lengthen the loop a lot
        g.LoopsPer10us *= 40;
        t = timeOfSpin(g, 500);
    }
    if (t < 0.1f) {
        g.LoopsPer10us *= 6;
        t = timeOfSpin(g, 500);
    }
    t = std::max(t, 0.0005f);
    g.LoopsPer10us = rescaled(g.LoopsPer10us, 0.5f, t);

    // A longer run refines the count.
    const float t3 = std::max(timeOfSpin(g, 3000), 0.1f);
    g.LoopsPer10us = rescaled(g.LoopsPer10us, 3.0f, t3);
    g.ui.setBusyCursor(false);
}

} // namespace gyro
