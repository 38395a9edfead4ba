// The logging run on the simulated USB card in real time: the engine alone (all
// five registers, time and flags, no window), and the datalog window's run with
// its yield to the window system after every sample and its progress bar.
#include "DatalogRun.h"
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "LoggedLines.h"
#include "QtUiHost.h"
#include "SimPlatform.h"
#include "frmDatalog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
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
        gyro::ChooseInterface(g, gyro::InterfaceKind::UsbCard);
        // No sample delay, so no wait needs a calibrated count; skip the seconds it takes.
        g.DelayCalibrated = true;
        g.LoopsPer10us = 1;
        g.ProgramFolder = dir.path();
        (void)OpenUsbCard(g); // the simulated card is there
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

// The window's run with "One line per sensor sample" at 2048 samples a second: the
// lines whose new-data flag is set, the samples the run told as missed (status line).
void BM_DatalogWindowEverySample(benchmark::State& state)
{
    Bench bench;
    bench.sim.sensor().setRegisterWord(0x36, 0x0000); // Smpl_Prd: 2048 samples a second
    frmDatalog window(bench.g, nullptr);
    window.show();
    window.findChild<QCheckBox*>(QStringLiteral("chkEverySample"))->setChecked(true);
    window.findChild<QCheckBox*>(QStringLiteral("ckTime"))->setChecked(true);
    window.findChild<QLineEdit*>(QStringLiteral("txtSamplesPerFile"))->setText(QStringLiteral("20480"));
    // The closing message (samples missed) is answered as a user would.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    answer.start(100);
    for (auto _ : state)
        window.cmdStartDatalog_Click();
    const auto counted = bench::CountLoggedLines(bench.dir.filePath(QStringLiteral("DATALOG_1.csv")));
    if (!counted) {
        state.SkipWithError("no log file");
        return;
    }
    state.counters["lines"] = counted->lines;
    state.counters["flag_1"] = counted->fresh;
    state.SetLabel(window.findChild<QLabel*>(QStringLiteral("lblRunStatus"))->text().toStdString());
}
BENCHMARK(BM_DatalogWindowEverySample)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
