// The main window's readout loop on the simulated USB card in real time (loop
// delay 0, both charts drawing, the window shown offscreen and painting), and the
// drawing of one chart sample on its own.
#include "GyroState.h"
#include "QtUiHost.h"
#include "SimPlatform.h"
#include "StripChart.h"
#include "frmForm1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace gyro;

namespace {

void BM_ReadoutPass(benchmark::State& state)
{
    sim::SimOptions options;
    options.realTime = true;
    sim::SimPlatform sim(options);
    QtUiHost ui(QStringLiteral("bench"));
    GyroState g(sim.platform(), ui);
    InitRegisterMap(g);
    g.InterfaceType = 2;
    g.ProductNumber = 27140;
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

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
