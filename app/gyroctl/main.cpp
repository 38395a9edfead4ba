// gyroctl: the command-line face of the evaluation program. Reads and writes
// registers, dumps the register table and lists USB cards, over the same code as
// the windows, for scripts and quick checks.
#include "BackendTable.h"
#include "ConsoleUiHost.h"
#include "CtlAllanCommand.h"
#include "CtlCommands.h"
#include "CtlOptions.h"
#include "FileSizeLimit.h"
#include "GyroState.h"
#include "InterfaceSettings.h"
#include "OsFamily.h"
#include "ProgramFolder.h"
#include "RealClock.h"
#include "SettingsLocation.h"
#include "SpiTraceFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    gyro::LetWritesFailOverFileSizeLimit();
    // Drawing a plot needs fonts, so a GUI application on the offscreen platform
    // (no display needed); every other command stays a console application.
    const bool draws = gyro::CtlCommandDraws(argc, argv);
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application = draws ? std::make_unique<QGuiApplication>(argc, argv)
                                                          : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString error;
    bool versionAsked = false;
    const auto options = gyro::ParseCtlArguments(app.arguments().mid(1), &error, &versionAsked);
    if (!options) {
        if (versionAsked) {
            out << gyro::CtlVersionText();
            return gyro::ExitOk;
        }
        if (error.isEmpty()) {
            out << gyro::CtlUsageText();
            return gyro::ExitOk;
        }
        err << "gyroctl: " << error << "\n\n" << gyro::CtlUsageText();
        return gyro::ExitUsage;
    }

    gyro::BackendOptions backendOptions;
    backendOptions.rawPortAccess = options->rawPortAccess;
    backendOptions.simFaults = options->simFaults;
    backendOptions.simStill = options->simStill;
    backendOptions.simBusTiming = options->simBusTiming;
    backendOptions.simFullSpeed = options->simFullSpeed;
    auto backends = gyro::MakeBackends(options->simulate ? QStringLiteral("sim") : QStringLiteral("native"),
                                       backendOptions, &error);
    if (!backends) {
        err << "gyroctl: " << error << Qt::endl;
        return gyro::ExitTransportFailed;
    }
    // A command must answer at once: instead of a seconds-long calibration, the
    // waits watch the monotonic clock, which is as exact and needs none.
    gyro::DeadlineBusyLoop deadlineLoop;
    const gyro::Platform& chosen = backends->platform();
    gyro::Platform platform{chosen.description, chosen.usb,       chosen.port,
                            chosen.registry,    chosen.processes, chosen.os,
                            chosen.clock,       deadlineLoop,     chosen.scratchFolder};

    gyro::ConsoleUiHost ui(err);
    gyro::GyroState g(platform, ui);
    g.AppTitle = QStringLiteral("gyroctl");
    g.ProgramFolder = gyro::ProgramFilesFolder(QCoreApplication::applicationDirPath(), QDir::currentPath());
    g.DelayCalibrated = true;
    gyro::SetInterfaceDefaults(g);
    // The file gyroeval started from this folder keeps (gyroctl only reads it).
    gyro::LoadInterfaceSettings(
        g, gyro::InterfaceSettingsPath(QDir::currentPath(), gyro::UserSettingsFolder(), false));
    gyro::InitRegisterMap(g);
    g.OsName = gyro::OsFamilyName(platform.os.query());
    if (options->interfaceType)
        g.InterfaceType = *options->interfaceType;
    if (options->portAddress)
        g.PortAddress = *options->portAddress;

    // A trace that cannot be opened is a usage error, found before any traffic; one
    // whose writes fail is told once and fails the run.
    std::unique_ptr<gyro::SpiTraceFile> trace;
    if (!options->spiTracePath.isEmpty()) {
        trace = gyro::SpiTraceFile::open(options->spiTracePath, platform.clock, &error);
        if (!trace) {
            err << "gyroctl: " << error << Qt::endl;
            return gyro::ExitUsage;
        }
        trace->setFailureHandler([&err](const QString& why) { err << "gyroctl: " << why << Qt::endl; });
        g.spiTrace = trace.get();
    }
    const int status = gyro::RunCtlCommand(*options, g, ui, out, err);
    g.spiTrace = nullptr;
    if (trace && trace->failed() && status == gyro::ExitOk)
        return gyro::ExitTransportFailed;
    return status;
}
