// The averaging run on the simulated USB card in real time: the cost of one sample
// (a Gyro_Out read and the running mean), which sets how many samples a second of
// averaging holds. Memory does not grow with the run: there is no sample store.
#include "BiasAveraging.h"
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "SimPlatform.h"

#include <QString>
#include <benchmark/benchmark.h>

using namespace gyro;

namespace {

class SilentUiHost final : public UiHost {
public:
    MsgResult message(const QString&, MsgButtons, MsgIcon, const QString&) override { return MsgResult::Ok; }
    void yield() override {}
    void setBusyCursor(bool) override {}
};

void BM_AveragingSamples(benchmark::State& state)
{
    sim::SimOptions options;
    options.realTime = true;
    sim::SimPlatform sim(options);
    sim.sensor().setTraceEnabled(false);
    SilentUiHost ui;
    GyroState g(sim.platform(), ui);
    gyro::ChooseInterface(g, gyro::InterfaceKind::UsbCard);
    g.DelayCalibrated = true;
    (void)OpenUsbCard(g); // the simulated card is there

    const std::int64_t samplesPerRun = state.range(0);
    std::int64_t samples = 0;
    for (auto _ : state) {
        std::int64_t taken = 0;
        AveragingHooks hooks;
        hooks.sampleTaken = [&taken](const AveragingProgress&) { ++taken; };
        hooks.stopRequested = [&taken, samplesPerRun] { return taken == samplesPerRun; };
        const AveragingResult result = RunBiasAveraging(g, LongestAveragingSeconds, hooks);
        benchmark::DoNotOptimize(result.mean);
        samples += result.count;
    }
    state.SetItemsProcessed(samples);
    state.SetLabel("samples");
}
BENCHMARK(BM_AveragingSamples)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
