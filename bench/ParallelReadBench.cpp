// The program's own cost of a register access over the parallel port, beside the
// 0.1 ms waits after each frame. The waits spin a fake busy loop that only moves
// a simulated clock, so the time measured is the framing, the port calls and the
// simulated port's decoding; the simulated time per access is reported too.
#include "FakeClock.h"
#include "GyroState.h"
#include "InterfaceSettings.h"
#include "NullBackends.h"
#include "RegisterAccess.h"
#include "SimParallelPort.h"

#include <benchmark/benchmark.h>

namespace {

// Answers every frame with a fixed word, as a sensor with a steady output would.
class SteadyDevice final : public gyro::sim::SpiDevice {
public:
    std::uint16_t pendingAnswer() override { return 0x9234; }
    void frameReceived(std::uint16_t) override {}
};

struct ParallelBench {
    SteadyDevice device;
    gyro::sim::FakeClock clock;
    gyro::sim::FakeBusyLoop busy{clock, 1e-9};
    gyro::sim::SimParallelPort simPort{device};
    gyro::UnusedBackends unused;
    gyro::Platform platform;
    gyro::SilentUiHost ui;
    gyro::GyroState g{platform, ui};

    explicit ParallelBench(bool simulatedPort)
        : platform{unused.platform(clock, busy, {.port = simulatedPort ? &simPort : nullptr},
                                   QStringLiteral("bench"))}
    {
        gyro::ChooseInterface(g, gyro::InterfaceKind::ParallelPort);
        g.PortAddress = 0x378;
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10'000; // 10'000 turns of 1 ns: 10 us per unit
    }
};

// range(0): 1 with the simulated port decoding every line change, 0 with a port
// that does nothing (the program alone).
void BM_ReadRegisterParallel(benchmark::State& state)
{
    ParallelBench bench(state.range(0) != 0);
    double reads = 0;
    const double simStart = bench.clock.monotonicSeconds();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gyro::ReadRegister(bench.g, gyro::Idx_Gyro_Out));
        ++reads;
        if (bench.simPort.frames().size() > 4096)
            bench.simPort.clearRecords(); // keep the inspection records small
    }
    state.counters["simulated_ms_per_read"] = (bench.clock.monotonicSeconds() - simStart) * 1e3 / reads;
    state.SetLabel(state.range(0) != 0 ? "simulated port" : "null port");
}
BENCHMARK(BM_ReadRegisterParallel)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_WriteRegisterParallel(benchmark::State& state)
{
    ParallelBench bench(true);
    double writes = 0;
    const double simStart = bench.clock.monotonicSeconds();
    for (auto _ : state) {
        gyro::WriteRegister(bench.g, gyro::Idx_Smpl_Prd, 0x0A);
        ++writes;
        if (bench.simPort.frames().size() > 4096)
            bench.simPort.clearRecords();
    }
    state.counters["simulated_ms_per_write"] = (bench.clock.monotonicSeconds() - simStart) * 1e3 / writes;
}
BENCHMARK(BM_WriteRegisterParallel)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
