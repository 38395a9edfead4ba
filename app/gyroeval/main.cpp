// gyroeval: the windowed evaluation program. Without --simulate it talks to the
// real USB SPI card or parallel port; with it, to the built-in simulated sensor,
// and the window says so.
#include "Main.h"
#include "BackendTable.h"
#include "CloseOnSignal.h"
#include "EvalOptions.h"
#include "FileSizeLimit.h"
#include "GyroState.h"
#include "ProgramFolder.h"
#include "ProgramVersion.h"
#include "QtUiHost.h"
#include "SettingsLocation.h"
#include "SpiTraceFile.h"
#include "StartUpStop.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <optional>

using namespace gyro;

namespace {

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Reads the command line into `options`. The exit status when it is answered
// without running: 0 after the --help text, 2 for a usage error (told on standard
// error, before any window).
std::optional<int> AnswerCommandLine(const QStringList& arguments, EvalOptions& options)
{
    QString error;
    if (!ParseEvalOptions(arguments, options, &error)) {
        std::fprintf(stderr, "gyroeval: %s\n(gyroeval --help lists the options)\n", qPrintable(error));
        return 2;
    }
    if (!options.helpText.isEmpty()) {
        std::fputs(qPrintable(options.helpText), stdout);
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    LetWritesFailOverFileSizeLimit();
    // The command line is read before QApplication, which needs a display, so that
    // --help and a usage error answer on any terminal; one holding Qt's own options
    // is read once QApplication has taken those out.
    EvalOptions options;
    const QStringList arguments = ArgumentsOf(argc, argv);
    const bool readNow = !HoldsQtOptions(arguments);
    if (const auto status = readNow ? AnswerCommandLine(arguments, options) : std::nullopt)
        return *status;
    // The window class (WM_CLASS on X11) is the application name: "gyroeval"
    // however the program was called, as the desktop entry's StartupWMClass says,
    // so a dock shows the entry's icon for the running program.
    QCoreApplication::setApplicationName(QStringLiteral("gyroeval"));
    QApplication app(argc, argv);
    // The desktop links the window to its entry and icon; the installed icon
    // shows in the title bar and task switcher where the theme has it.
    QGuiApplication::setDesktopFileName(QLatin1String(DesktopId));
    QApplication::setWindowIcon(QIcon::fromTheme(QLatin1String(DesktopId)));
    if (const auto status = readNow ? std::nullopt : AnswerCommandLine(QApplication::arguments(), options))
        return *status;
    QString error;
    QtUiHost ui(QStringLiteral("Gyro Evaluation"));
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
    g.ProgramFolder = ProgramFilesFolder(QCoreApplication::applicationDirPath(), QDir::currentPath());
    g.SettingsFile = InterfaceSettingsPath(QDir::currentPath(), UserSettingsFolder(), options.userSettings);
    // The user's settings folder may not exist yet; one that cannot be made is
    // told when the settings are saved.
    QDir().mkpath(QFileInfo(g.SettingsFile).absolutePath());

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
    ProgramWindows windows = Main(
        g, [] { return CloseOnSignal::Received(); }, options.interfaceType);
    if (windows.stopped) {
        ui.setMessagesOnStderr(true);
        if (QString failure; !startUpStop.finish(windows, g.SettingsFile, &failure))
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
