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
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Standard output holds the command's result: a write or the final flush that failed
// makes a run that went well a failure, told on standard error.
int finishOutput(QTextStream& out, QTextStream& err, int status)
{
    out.flush();
    errno = 0;
    const bool written =
        out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (written || status != gyro::ExitOk)
        return status;
    err << "gyroctl: standard output could not be written: "
        << (errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("write failed"))
        << Qt::endl;
    return gyro::ExitTransportFailed;
}

// Drawing on the offscreen platform asks for the runtime folder, and Qt warns on
// stderr when XDG_RUNTIME_DIR is unset: name the folder it would fall back to,
// made private as it makes it, so a plot run prints no such line. (Windows has
// no such folder.)
void provideRuntimeFolder()
{
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QByteArray folder = QDir::tempPath().toLocal8Bit() + "/runtime-" + QByteArray::number(::getuid());
    struct stat info {};
    if (::mkdir(folder.constData(), 0700) != 0 &&
        (::stat(folder.constData(), &info) != 0 || info.st_uid != ::getuid() || (info.st_mode & 0077) != 0))
        return; // Qt then says what is wrong with it
    qputenv("XDG_RUNTIME_DIR", folder);
#endif
}

} // namespace

int main(int argc, char** argv)
{
    gyro::LetWritesFailOverFileSizeLimit();
    // Drawing a plot needs fonts, so a GUI application on the offscreen platform
    // (no display needed); every other command stays a console application.
    const bool draws = gyro::CtlCommandDraws(argc, argv);
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (draws)
        provideRuntimeFolder();
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
            return finishOutput(out, err, gyro::ExitOk);
        }
        if (error.isEmpty()) {
            out << gyro::CtlUsageText();
            return finishOutput(out, err, gyro::ExitOk);
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
    const int status = finishOutput(out, err, gyro::RunCtlCommand(*options, g, ui, out, err));
    g.spiTrace = nullptr;
    if (trace && trace->failed() && status == gyro::ExitOk)
        return gyro::ExitTransportFailed;
    return status;
}
