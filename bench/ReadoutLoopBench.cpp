// The main window's readout loop on the simulated USB card in real time (one
// pass at loop delay 0, both charts drawing, the window shown offscreen and
// painting; and the processor share of the running loop at the default 5 ms
// delay), and the drawing of one chart sample on its own.
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "QtUiHost.h"
#include "ReadoutSession.h"
#include "SimPlatform.h"
#include "SpiTrace.h"
#include "StripChart.h"
#include "Timing.h"
#include "frmForm1.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <ctime>

using namespace gyro;

namespace {

// The program on the simulated USB card in real time, before its main window loads.
struct RealTimeProgram {
    RealTimeProgram()
    {
        gyro::ChooseInterface(g, gyro::InterfaceKind::UsbCard);
        g.ProductNumber = 27140;
    }
    static sim::SimOptions realTime()
    {
        sim::SimOptions options;
        options.realTime = true;
        return options;
    }
    sim::SimPlatform sim{realTime()};
    QtUiHost ui{QStringLiteral("bench")};
    GyroState g{sim.platform(), ui};
};

void BM_ReadoutPass(benchmark::State& state)
{
    RealTimeProgram program;
    GyroState& g = program.g;
    // The loop delay is 0, so no wait needs a calibrated count; skip the seconds it takes.
    g.DelayCalibrated = true;
    g.LoopsPer10us = 1;

    frmForm1 window(g);
    window.Form_Load();
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("txtLoopDelay"))->setText(QStringLiteral("0"));
    window.findChild<QAbstractButton*>(QStringLiteral("ckLoop"))->setChecked(false);

    // With "Read" showing, ReadData makes exactly one pass: the loop's body.
    for (auto _ : state)
        window.ReadData();
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("passes");
}
BENCHMARK(BM_ReadoutPass)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The readout session without the window: its passes read the outputs alone, six
// reads a pass or (argument 1) one burst. The session's loop is the benchmark's.
void BM_ReadoutSessionPass(benchmark::State& state)
{
    RealTimeProgram program;
    GyroState& g = program.g;
    g.ReadoutBurst = state.range(0) != 0;
    if (!OpenUsbCard(g).ready) {
        state.SkipWithError("the simulated card was not found");
        return;
    }
    ReadoutSession session;
    session.toggle();
    session.run(
        [&g] {
            benchmark::DoNotOptimize(ReadOutputs(g));
            return true;
        },
        [&state] { return state.KeepRunning(); });
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("passes");
}
BENCHMARK(BM_ReadoutSessionPass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Counts the SPI frames of the running loop.
struct FrameCounter final : SpiTrace {
    void frame(SpiInterface, std::uint16_t, int) override { ++frames; }
    long frames = 0;
};

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The readout loop as the user runs it: "Read" with "Loop" checked, the default
// loop delay of 5 ms, the delay loop calibrated as at start-up. Reports the share
// of one core the program uses and the SPI frames per second (each pass reads
// five outputs and the status register, two frames per read).
void BM_ReadoutLoopCpu(benchmark::State& state)
{
    RealTimeProgram program;
    GyroState& g = program.g;
    CalibrateDelay(g);

    frmForm1 window(g);
    window.Form_Load();
    window.show();
    auto* loopDelay = window.findChild<QLineEdit*>(QStringLiteral("txtLoopDelay"));
    loopDelay->setText(QStringLiteral("5"));
    auto* readButton = window.findChild<QAbstractButton*>(QStringLiteral("cmdReadData"));
    window.findChild<QAbstractButton*>(QStringLiteral("ckLoop"))->setChecked(true);
    FrameCounter counter;
    g.spiTrace = &counter;

    const double seconds = 3.0;
    for (auto _ : state) {
        const long framesBefore = counter.frames;
        QTimer::singleShot(static_cast<int>(seconds * 1000), readButton,
                           [readButton] { readButton->click(); });
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        readButton->click(); // runs until the timer's click turns "STOP" back to "Read"
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double cpu = processCpuSeconds() - cpuStart;
        state.SetIterationTime(wall);
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
        state.counters["frames_per_second"] = static_cast<double>(counter.frames - framesBefore) / wall;
    }
    g.spiTrace = nullptr;
}
BENCHMARK(BM_ReadoutLoopCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_ChartSample(benchmark::State& state)
{
    StripChart chart;
    chart.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    chart.show();
    double hi = 400;
    double lo = -400;
    double t = 0;
    for (auto _ : state) {
        chart.plot(300 * std::sin(t), hi, lo);
        t += 0.05;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChartSample)->Args({352, 150})->Args({900, 300})->Unit(benchmark::kNanosecond);

} // namespace
