// How close the calibrated waits come to their nominal times on this machine,
// after a real calibration (about four seconds of busy waiting).
#include "GyroState.h"
#include "NullBackends.h"
#include "RealClock.h"
#include "Timing.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace {

struct CalibratedState {
    gyro::RealClock clock;
    gyro::RealBusyLoop busy;
    gyro::UnusedBackends unused;
    gyro::Platform platform = unused.platform(clock, busy, {}, QStringLiteral("bench"));
    gyro::SilentUiHost ui;
    gyro::GyroState g{platform, ui};

    CalibratedState() { gyro::CalibrateDelay(g); }
};

gyro::GyroState& calibrated()
{
    static CalibratedState state;
    return state.g;
}

} // namespace

static void BM_DelayMs(benchmark::State& state)
{
    gyro::GyroState& g = calibrated();
    const auto ms = static_cast<float>(state.range(0));
    double worst = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        gyro::DelayMs(g, ms);
        const double took =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        worst = std::max(worst, std::abs(took - ms) / ms);
        state.SetIterationTime(took / 1000.0);
    }
    state.counters["LoopsPer10us"] = g.LoopsPer10us;
    state.counters["worst_error_pct"] = worst * 100.0;
}
BENCHMARK(BM_DelayMs)->Arg(1)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
