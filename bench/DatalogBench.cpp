// The logging run on the simulated USB card in real time: the engine alone (all
// five registers, time and flags, no window), and the datalog window's run with
// its yield to the window system after every sample and its progress bar.
#include "DatalogRun.h"
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "QtUiHost.h"
#include "SimPlatform.h"
#include "frmDatalog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace gyro;

namespace {

constexpr std::int64_t SamplesPerRun = 20000;

// A state on the real-time simulated platform with the USB card up.
struct Bench {
    sim::SimPlatform sim{sim::SimOptions{.realTime = true}};
    QtUiHost ui{QStringLiteral("bench")};
    GyroState g{sim.platform(), ui};
    QTemporaryDir dir;

    Bench()
    {
        InitRegisterMap(g);
        g.InterfaceType = 2;
        // No sample delay, so no wait needs a calibrated count; skip the seconds it takes.
        g.DelayCalibrated = true;
        g.LoopsPer10us = 1;
        g.ProgramFolder = dir.path();
        OpenUsbCard(g);
        sim.sensor().setTraceEnabled(false);
    }
};

void BM_DatalogEngine(benchmark::State& state)
{
    Bench bench;
    DatalogSettings settings;
    settings.CheckReg = {true, true, true, true, true};
    settings.ckTime = true;
    settings.SamplesPerFile = SamplesPerRun;
    settings.Folder = bench.dir.path();
    for (auto _ : state)
        RunDatalog(bench.g, settings, {});
    state.SetItemsProcessed(state.iterations() * SamplesPerRun);
    state.SetLabel("samples");
}
BENCHMARK(BM_DatalogEngine)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DatalogWindowRun(benchmark::State& state)
{
    Bench bench;
    frmDatalog window(bench.g, nullptr);
    window.show();
    for (int k = 1; k <= 5; ++k)
        window.CheckReg(k)->setChecked(true);
    window.findChild<QCheckBox*>(QStringLiteral("ckTime"))->setChecked(true);
    window.findChild<QLineEdit*>(QStringLiteral("txtSamplesPerFile"))
        ->setText(QString::number(SamplesPerRun));
    for (auto _ : state)
        window.cmdStartDatalog_Click();
    state.SetItemsProcessed(state.iterations() * SamplesPerRun);
    state.SetLabel("samples");
}
BENCHMARK(BM_DatalogWindowRun)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
