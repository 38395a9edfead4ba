#include "Timing.h"

#include "GyroState.h"
#include "NumberText.h"

#include <algorithm>
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

void DelayMs(GyroState& g, float ms)
{
    const std::int64_t units = DelayUnits(ms);
    if (units == 0)
        return;
    if (!g.DelayCalibrated)
        CalibrateDelay(g);
    g.platform.busyLoop.spin(units, g.LoopsPer10us);
}

namespace {

float timeOfDelay(GyroState& g, float ms)
{
    Clock& clock = g.platform.clock;
    const double start = clock.monotonicSeconds();
    DelayMs(g, ms);
    return static_cast<float>(clock.monotonicSeconds() - start);
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

void CalibrateDelay(GyroState& g)
{
    g.DelayCalibrated = true;
    g.LoopsPer10us = 1000;
    g.ui.setBusyCursor(true);
    if (g.CommandLineGiven)
        g.LoopsPer10us = 1000 / 5;

    float t = timeOfDelay(g, 500);
    if (t < 0.005f) { // far too fast to measure: lengthen the loop a lot
        g.LoopsPer10us *= 40;
        t = timeOfDelay(g, 500);
    }
    if (t < 0.1f) {
        g.LoopsPer10us *= 6;
        t = timeOfDelay(g, 500);
    }
    t = std::max(t, 0.0005f);
    g.LoopsPer10us = rescaled(g.LoopsPer10us, 0.5f, t);

    // A longer run refines the count.
    const float t3 = std::max(timeOfDelay(g, 3000), 0.1f);
    g.LoopsPer10us = rescaled(g.LoopsPer10us, 3.0f, t3);
    g.ui.setBusyCursor(false);
}

} // namespace gyro
