// The program itself: standard output that cannot be written fails every command
// with a message, and its stderr holds only its own messages.
#include "CtlCommandTable.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

struct ProgramRun {
    int exitCode;
    QString err;
};

ProgramRun gyroctl(const QStringList& arguments, const QString& outputFile = QString(),
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QTemporaryDir dir;
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(dir.path());
    if (!outputFile.isEmpty())
        program.setStandardOutputFile(outputFile);
    program.start(QStringLiteral(GYROCTL_PROGRAM), arguments);
    EXPECT_TRUE(program.waitForFinished(60000));
    return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardError())};
}

// A series of 400 numbers for the noise analysis, written into `dir`.
QString writeSeries(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("series.txt"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < 400; ++i)
        file.write(QByteArray::number((i * 7919) % 61 - 30) + '\n');
    return path;
}

} // namespace

TEST(GyroctlProgram, StandardOutputThatCannotBeWrittenFailsEveryCommand)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    QTemporaryDir dir;
    const QString series = writeSeries(dir);
    const QStringList sim{"--simulate", "--interface", "usb"};
    const QStringList cases[] = {
        sim + QStringList{"read", "Gyro_Out"},
        sim + QStringList{"dump"},
        sim + QStringList{"rate"},
        sim + QStringList{"alarms"},
        sim + QStringList{"log", "--samples", "1000", "--stdout"},
        {"allan", series, "--rate", "100"},
        {"--version"},
    };
    for (const QStringList& arguments : cases) {
        const ProgramRun run = gyroctl(arguments, QStringLiteral("/dev/full"));
        EXPECT_EQ(run.exitCode, ExitTransportFailed) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("standard output could not be written")))
            << arguments.join(' ').toStdString() << ": " << run.err.toStdString();
    }
}

TEST(GyroctlProgram, StandardErrorHoldsOnlyItsOwnMessages)
{
    QTemporaryDir dir;
    const QString series = writeSeries(dir);
    QProcessEnvironment noRuntime = QProcessEnvironment::systemEnvironment();
    noRuntime.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    noRuntime.remove(QStringLiteral("QT_QPA_PLATFORM"));

    const ProgramRun plot = gyroctl({"allan", series, "--rate", "100", "--plot", dir.filePath("a.png")},
                                    dir.filePath("out.txt"), noRuntime);
    EXPECT_EQ(plot.exitCode, ExitOk) << plot.err.toStdString();
    EXPECT_FALSE(plot.err.contains(QStringLiteral("XDG_RUNTIME_DIR"))) << plot.err.toStdString();

#ifndef Q_OS_WIN // Windows takes its temporary folder from TMP and TEMP and words the reason its own way
    // A temporary file that cannot be made names the folder and the system's reason.
    QProcessEnvironment noTemp = QProcessEnvironment::systemEnvironment();
    noTemp.insert(QStringLiteral("TMPDIR"), series); // a file, no folder
    const ProgramRun temp = gyroctl({"allan", series, "--rate", "100"}, dir.filePath("out.txt"), noTemp);
    EXPECT_EQ(temp.exitCode, ExitTransportFailed);
    EXPECT_TRUE(temp.err.contains(series + QStringLiteral(": Not a directory"))) << temp.err.toStdString();
#endif

    if (QFile::exists(QStringLiteral("/dev/full"))) { // a trace device: no seek warning, the failure told
        const ProgramRun trace =
            gyroctl({"--simulate", "--interface", "usb", "--spi-trace", "/dev/full", "read", "Gyro_Out"},
                    dir.filePath("out.txt"));
        EXPECT_EQ(trace.exitCode, ExitTransportFailed);
        EXPECT_FALSE(trace.err.contains(QStringLiteral("QIODevice"))) << trace.err.toStdString();
        EXPECT_TRUE(trace.err.contains(QStringLiteral("could not be written"))) << trace.err.toStdString();
    }
}
