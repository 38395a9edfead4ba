// How close the calibrated waits come to their nominal times on this machine,
// after a real calibration (about four seconds of busy waiting): on a quiet
// machine, and while another process keeps every core busy. Reports the mean,
// median and worst error in percent and the share of one core the waits use.
#include "GyroState.h"
#include "NullBackends.h"
#include "RealClock.h"
#include "Timing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Another process with one spinning thread per core, for as long as it lives.
class CpuHog {
public:
    CpuHog()
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            std::vector<std::thread> spinners;
            const auto spin = [] {
                volatile unsigned long turns = 0;
                while (true)
                    turns = turns + 1;
            };
            for (unsigned i = 1; i < std::thread::hardware_concurrency(); ++i)
                spinners.emplace_back(spin);
            spin();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200)); // let it take the cores
    }
    ~CpuHog()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

void measureDelay(benchmark::State& state)
{
    gyro::GyroState& g = calibrated();
    const auto ms = static_cast<float>(state.range(0));
    std::vector<double> errors;
    const double cpuStart = processCpuSeconds();
    double wallTotal = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        gyro::DelayMs(g, ms);
        const double took =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        errors.push_back(std::abs(took - ms) / ms);
        wallTotal += took / 1000.0;
        state.SetIterationTime(took / 1000.0);
    }
    state.counters["LoopsPer10us"] = g.LoopsPer10us;
    if (!errors.empty()) {
        std::sort(errors.begin(), errors.end());
        double sum = 0;
        for (double error : errors)
            sum += error;
        state.counters["mean_error_pct"] = 100.0 * sum / static_cast<double>(errors.size());
        state.counters["median_error_pct"] = 100.0 * errors[errors.size() / 2];
        state.counters["worst_error_pct"] = 100.0 * errors.back();
    }
    state.counters["cpu_percent_of_one_core"] = 100.0 * (processCpuSeconds() - cpuStart) / wallTotal;
}

} // namespace

static void BM_DelayMs(benchmark::State& state)
{
    measureDelay(state);
}
BENCHMARK(BM_DelayMs)->Arg(1)->Arg(5)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

static void BM_DelayMsUnderLoad(benchmark::State& state)
{
    calibrated(); // calibrated before the load starts, as at the program's start-up
    const CpuHog hog;
    measureDelay(state);
}
BENCHMARK(BM_DelayMsUnderLoad)->Arg(1)->Arg(5)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
