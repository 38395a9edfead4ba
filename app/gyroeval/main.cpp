// gyroeval: the windowed evaluation program. Without --simulate it talks to the
// real USB SPI card or parallel port; with it, to the built-in simulated sensor,
// and the window says so.
#include "Main.h"
#include "BackendTable.h"
#include "CloseOnSignal.h"
#include "EvalOptions.h"
#include "FileSizeLimit.h"
#include "GyroState.h"
#include "QtUiHost.h"
#include "SpiTraceFile.h"
#include "StartUpStop.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

using namespace gyro;

int main(int argc, char** argv)
{
    LetWritesFailOverFileSizeLimit();
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
    g.ReadoutBurst = options.burstReadout;
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

    // Ctrl+C and SIGTERM are handled from the first step of start-up on. Once they
    // arrive no one may be there to answer a message box, so messages go to stderr.
    frmForm1* started = nullptr;
    StartUpStop startUpStop(g);
    const CloseOnSignal closeOnSignal([&] {
        ui.setMessagesOnStderr(true);
        if (started != nullptr)
            started->close();
        else
            startUpStop.request();
    });
    ProgramWindows windows = Main(g, [] { return CloseOnSignal::Received(); });
    if (windows.stopped) {
        ui.setMessagesOnStderr(true);
        if (QString failure; !startUpStop.finish(windows, InterfaceSettingsFileName, &failure))
            ui.message(failure, MsgButtons::Ok, MsgIcon::Exclamation, QString());
        g.spiTrace = nullptr;
        return 0;
    }
    frmForm1& mainWindow = *windows.main;
    started = &mainWindow;
    QObject::connect(&mainWindow, &frmForm1::programEnded, &app, [] { QCoreApplication::exit(0); });
    if (options.startReading)
        QTimer::singleShot(0, &mainWindow, [&mainWindow] { mainWindow.StartReadoutLoop(); });

    const int result = QApplication::exec();
    g.spiTrace = nullptr;
    return result;
}
