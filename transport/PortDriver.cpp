#include "PortDriver.h"

#include "WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

namespace gyro {

namespace {

const QString InstallFailedText = QStringLiteral("The required I/O drivers could not be installed.");

Failure installFailure(const QString& reason = {})
{
    return Failure{QStringLiteral("port driver installation"), InstallFailedText, reason,
                   QStringLiteral("Error")};
}

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// A folder in native form, without a trailing separator, so that appending a
// separator and a name gives exactly one separator ("C:\" -> "C:").
QString nativeFolder(const QString& path)
{
    QString folder = QDir::toNativeSeparators(path);
    while (folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

QString inFolder(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

// Removes any earlier installation, then installs the service from the driver file.
QString batchText(const QString& folder)
{
    const QString installer = quoted(inFolder(folder, QStringLiteral("instdrv2")));
    const QString driverFile = quoted(inFolder(folder, QStringLiteral("Giveio.sys")));
    return installer + QStringLiteral(" giveio remove\n") + installer + QStringLiteral(" giveio ") +
           driverFile + u'\n';
}

// Replaces the file as a whole; returns an empty text or what went wrong.
QString writeBatchFile(const QString& path, const QString& text)
{
    QByteArray bytes = text.toLocal8Bit();
#ifdef Q_OS_WIN
    bytes.replace("\n", "\r\n"); // the system's line ends
#endif
    QString reason;
    if (!WriteFileWhole(path, bytes, &reason))
        return QStringLiteral("The file %1 could not be written: %2").arg(path, reason);
    // Where a command line runs a file only when it is executable (POSIX shells),
    // the batch file must be; Windows ignores the flag.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return {};
}

} // namespace

Outcome InstallPortDriver(GyroState& g)
{
    if (ReadRegistryText(g, PortDriverServiceKey, PortDriverStartValue) ==
        QString::number(PortDriverStartAutomatic))
        return {};

    // The installer and the driver file live in the program's folder; the batch file
    // goes there too, unless the platform names a place for its helper files: then
    // into a folder of its own there that lasts only as long as the installation,
    // so that a program that is killed leaves none behind.
    const QString folder = nativeFolder(g.ProgramFolder);
    std::optional<QTemporaryDir> helperFolder;
    if (!g.platform.scratchFolder.isEmpty()) {
        helperFolder.emplace(
            QDir(g.platform.scratchFolder).filePath(QStringLiteral("gyro-port-driver-XXXXXX")));
        if (!helperFolder->isValid()) {
            return installFailure(QStringLiteral("The folder for %1 could not be made: %2")
                                      .arg(QStringLiteral("temp.bat"), helperFolder->errorString()));
        }
    }
    const QString batchFolder = helperFolder ? nativeFolder(helperFolder->path()) : folder;
    const QString batchPath = inFolder(batchFolder, QStringLiteral("temp.bat"));
    if (const QString error = writeBatchFile(batchPath, batchText(folder)); !error.isEmpty())
        return installFailure(error);
    // The installer's exit code says nothing reliable; the service entry does.
    if (!RunAndWait(g, quoted(batchPath)))
        return installFailure(QStringLiteral("The installer %1 could not be started.").arg(batchPath));

    if (ReadRegistryText(g, PortDriverServiceKey, PortDriverStartValue) ==
        QString::number(PortDriverStartOnDemand)) {
        RegistryValue automatic;
        automatic.type = RegistryValue::Type::Dword;
        automatic.number = PortDriverStartAutomatic;
        WriteRegistryValue(g, PortDriverServiceKey, PortDriverStartValue, automatic);
        return {};
    }
    return installFailure();
}

QString ReadRegistryText(GyroState& g, const QString& key, const QString& valueName)
{
    const std::optional<RegistryValue> value = g.platform.registry.queryValue(key, valueName);
    if (!value)
        return {};
    switch (value->type) {
    case RegistryValue::Type::String: {
        QString text = value->text;
        while (text.endsWith(QChar(u'\0')))
            text.chop(1);
        return text;
    }
    case RegistryValue::Type::Dword:
        return QString::number(value->number);
    default:
        return {};
    }
}

long WriteRegistryValue(GyroState& g, const QString& key, const QString& valueName,
                        const RegistryValue& value)
{
    return g.platform.registry.setValue(key, valueName, value);
}

std::optional<int> RunAndWait(GyroState& g, const QString& commandLine)
{
    return g.platform.processes.runAndWait(commandLine);
}

} // namespace gyro
