// gyroeval: the windowed evaluation program. Without --simulate it talks to the
// real USB SPI card or parallel port; with it, to the built-in simulated sensor,
// and the window says so.
#include "Main.h"
#include "BackendTable.h"
#include "CloseOnSignal.h"
#include "EvalOptions.h"
#include "GyroState.h"
#include "QtUiHost.h"
#include "SpiTraceFile.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

using namespace gyro;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtUiHost ui(QStringLiteral("Gyro Evaluation"));

    EvalOptions options;
    QString error;
    if (!ParseEvalOptions(QApplication::arguments(), options, &error)) {
        ui.message(error, MsgButtons::Ok, MsgIcon::Critical, QString());
        return 2;
    }
    if (!options.helpText.isEmpty()) {
        std::fputs(qPrintable(options.helpText), stdout);
        return 0;
    }
    std::unique_ptr<PlatformSet> backends = MakeBackends(
        options.simulate ? QStringLiteral("sim") : QStringLiteral("native"), options.backends, &error);
    if (backends == nullptr) {
        ui.message(error, MsgButtons::Ok, MsgIcon::Critical, QString());
        return 1;
    }

    GyroState g(backends->platform(), ui);
    ui.setApplicationTitle(g.AppTitle);
    g.CommandLineGiven = argc > 1;
    g.ProgramFolder = QCoreApplication::applicationDirPath();

    std::unique_ptr<SpiTraceFile> trace;
    if (!options.spiTracePath.isEmpty()) {
        trace = SpiTraceFile::open(options.spiTracePath, g.platform.clock, &error);
        if (trace != nullptr) {
            trace->setFailureHandler([&ui](const QString& why) {
                ui.message(why, MsgButtons::Ok, MsgIcon::Exclamation, QString());
            });
            g.spiTrace = trace.get();
        } else
            ui.message(error, MsgButtons::Ok, MsgIcon::Exclamation, QString());
    }

    ProgramWindows windows = Main(g);
    frmForm1& mainWindow = *windows.main;
    QObject::connect(&mainWindow, &frmForm1::programEnded, &app, [] { QCoreApplication::exit(0); });
    const CloseOnSignal closeOnSignal([&mainWindow] { mainWindow.close(); });
    if (options.startReading)
        QTimer::singleShot(0, &mainWindow, [&mainWindow] { mainWindow.StartReadoutLoop(); });

    const int result = QApplication::exec();
    g.spiTrace = nullptr;
    return result;
}
