// Every sample once: logging runs of all five outputs on the real-time simulated
// card at the sensor's top rate (2048 samples a second), with the card's bus timing
// (each bulk transaction ends at the next frame boundary) at high and full speed,
// free running (described reads) and paced by the sensor (burst reads). Each run
// lasts 10 s; the counters tell what it took of what the sensor made. Also the bulk
// transactions one sample costs, and the processor share of a paced run.
#include "DatalogRun.h"
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "LoggedLines.h"
#include "NullBackends.h"
#include "RegisterAccess.h"
#include "RegisterBurst.h"
#include "SimPlatform.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <array>
#include <ctime>

using namespace gyro;

namespace {

constexpr double RunSeconds = 10.0;
constexpr int SmplPrdAddress = 0x36;

struct Bench {
    explicit Bench(sim::SimOptions options) : sim(options)
    {
        gyro::ChooseInterface(g, gyro::InterfaceKind::UsbCard);
        g.DelayCalibrated = true;
        g.LoopsPer10us = 1;
        (void)OpenUsbCard(g); // the simulated card is there
        sim.sensor().setTraceEnabled(false);
        sim.usb().setRequestLog(false);
        sim.sensor().setRegisterWord(SmplPrdAddress, 0x0000); // 2048 samples a second
    }
    sim::SimPlatform sim;
    SilentUiHost ui;
    GyroState g{sim.platform(), ui};
    QTemporaryDir dir;
};

double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Args: burst (0 described reads, 1 paced by the sensor), full speed (0/1), bus timing (0/1).
void BM_LogTenSecondsAtTopRate(benchmark::State& state)
{
    const bool paced = state.range(0) != 0;
    Bench bench(sim::SimOptions{
        .realTime = true, .fullSpeedCard = state.range(1) != 0, .busTiming = state.range(2) != 0});
    DatalogSettings settings;
    settings.CheckReg = {true, true, true, true, true};
    settings.ckTime = true;
    settings.ckNoHeader = true;
    settings.chkEverySample = paced;
    settings.SamplesPerFile = DatalogLimits::MaxSamplesPerFile;
    settings.Folder = bench.dir.path();
    Clock& clock = bench.g.platform.clock;
    double end = 0;
    DatalogHooks hooks;
    hooks.cancelRequested = [&] { return clock.monotonicSeconds() >= end; };

    for (auto _ : state) {
        bench.sim.sensor().update();
        const std::uint64_t madeBefore = bench.sim.sensor().sampleCount();
        const double cpuBefore = processSeconds();
        const double begin = clock.monotonicSeconds();
        end = begin + RunSeconds;
        const DatalogOutcome outcome = RunDatalog(bench.g, settings, hooks);
        const double wall = clock.monotonicSeconds() - begin;
        const double cpu = processSeconds() - cpuBefore;
        bench.sim.sensor().update();
        const auto made = static_cast<double>(bench.sim.sensor().sampleCount() - madeBefore);

        const auto counted = bench::CountLoggedLines(bench.dir.filePath(QStringLiteral("DATALOG_1.csv")));
        if (!counted) {
            state.SkipWithError("no log file");
            return;
        }
        const double lines = counted->lines;
        const double fresh = counted->fresh; // the first register's flag: a sample not logged before
        state.counters["made"] = made;
        state.counters["lines"] = lines;
        state.counters["taken"] = fresh;
        state.counters["taken_share"] = fresh / made;
        state.counters["duplicates"] = lines - fresh;
        state.counters["missed"] = made - fresh;
        state.counters["missed_told"] = static_cast<double>(outcome.samplesMissed);
        state.counters["cpu_share"] = cpu / wall;
    }
}
BENCHMARK(BM_LogTenSecondsAtTopRate)
    ->ArgNames({"burst", "full_speed", "bus_timing"})
    ->Args({0, 0, 1})
    ->Args({1, 0, 1})
    ->Args({0, 1, 1})
    ->Args({1, 1, 1})
    ->Args({1, 0, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// Bulk transactions (a request and its answer make two) for one sample of the five
// outputs and Status, on the simulated card: six two-frame reads, or one burst.
void BM_TransactionsPerSample(benchmark::State& state)
{
    const bool burst = state.range(0) != 0;
    Bench bench(sim::SimOptions{});
    bench.sim.usb().setRequestLog(true);
    constexpr std::array<int, 6> pass{Idx_Supply_Out, Idx_Gyro_Out, Idx_Aux_ADC,
                                      Idx_Temp_Out,   Idx_ANGL_OUT, Idx_Status};
    std::int64_t samples = 0;
    for (auto _ : state) {
        bench.sim.usb().clearRequests();
        if (burst) {
            benchmark::DoNotOptimize(ReadRegisterBurst(bench.g, pass));
        } else {
            for (int index : pass)
                benchmark::DoNotOptimize(ReadRegister(bench.g, index));
        }
        ++samples;
        state.counters["transactions_per_sample"] =
            2.0 * static_cast<double>(bench.sim.usb().pipe0Requests().size());
    }
    state.SetItemsProcessed(samples);
}
BENCHMARK(BM_TransactionsPerSample)->ArgName("burst")->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
