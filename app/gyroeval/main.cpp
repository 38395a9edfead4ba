// gyroeval: the windowed evaluation program.
//
//   gyroeval [--simulate] [--seed N] [--spi-trace FILE] [--start-reading] [--raw-port-io]
//
// Without --simulate it talks to the real USB SPI card or parallel port; with it,
// to the built-in simulated sensor, and the window says so.
#include "Main.h"
#include "BackendTable.h"
#include "CloseOnSignal.h"
#include "GyroState.h"
#include "QtUiHost.h"
#include "SpiTraceFile.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

using namespace gyro;

namespace {

struct ProgramOptions {
    bool simulate = false;
    bool startReading = false;
    BackendOptions backends;
    QString spiTracePath;
};

// Reads the options; returns false with a message when one is wrong.
bool parseOptions(const QStringList& arguments, ProgramOptions& options, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Evaluation program for the angular-rate sensor."));
    parser.addHelpOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"), QStringLiteral("Use the built-in simulated sensor, USB card and port."));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the simulated sensor."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption trace(QStringLiteral("spi-trace"),
                                   QStringLiteral("Append every SPI frame to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption startReading(
        QStringLiteral("start-reading"),
        QStringLiteral("Press \"Read\" once the window is up (starts the loop)."));
    const QCommandLineOption rawPort(
        QStringLiteral("raw-port-io"),
        QStringLiteral("Reach the parallel port through raw port I/O (root only)."));
    parser.addOptions({simulate, seed, trace, startReading, rawPort});
    parser.process(arguments); // --help and unknown options end the program here

    bool seedOk = false;
    options.backends.seed = parser.value(seed).toUInt(&seedOk);
    if (!seedOk) {
        *error = QStringLiteral("--seed needs a whole number, not \"%1\".").arg(parser.value(seed));
        return false;
    }
    options.simulate = parser.isSet(simulate);
    options.startReading = parser.isSet(startReading);
    options.backends.rawPortAccess = parser.isSet(rawPort);
    options.spiTracePath = parser.value(trace);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtUiHost ui(QStringLiteral("Gyro Evaluation"));

    ProgramOptions options;
    QString error;
    if (!parseOptions(QApplication::arguments(), options, &error)) {
        ui.message(error, MsgButtons::Ok, MsgIcon::Critical);
        return 2;
    }
    std::unique_ptr<PlatformSet> backends = MakeBackends(
        options.simulate ? QStringLiteral("sim") : QStringLiteral("native"), options.backends, &error);
    if (backends == nullptr) {
        ui.message(error, MsgButtons::Ok, MsgIcon::Critical);
        return 1;
    }

    GyroState g(backends->platform(), ui);
    ui.setApplicationTitle(g.AppTitle);
    g.CommandLineGiven = argc > 1;
    g.ProgramFolder = QCoreApplication::applicationDirPath();

    std::unique_ptr<SpiTraceFile> trace;
    if (!options.spiTracePath.isEmpty()) {
        trace = SpiTraceFile::open(options.spiTracePath, g.platform.clock, &error);
        if (trace != nullptr)
            g.spiTrace = trace.get();
        else
            ui.message(error, MsgButtons::Ok, MsgIcon::Exclamation);
    }

    ProgramWindows windows = Main(g);
    frmForm1& mainWindow = *windows.main;
    QObject::connect(&mainWindow, &frmForm1::programEnded, &app, [] { QCoreApplication::exit(0); });
    CloseOnSignal closeOnSignal([&mainWindow] { mainWindow.close(); });
    if (options.startReading)
        QTimer::singleShot(0, &mainWindow, [&mainWindow] { mainWindow.StartReadoutLoop(); });

    const int result = QApplication::exec();
    g.spiTrace = nullptr;
    return result;
}
