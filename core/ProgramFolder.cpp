#include "ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace gyro {

#ifndef Q_OS_WIN
namespace {

// Linux: a system program folder (through links: /bin is a link to /usr/bin on
// merged-/usr systems).
bool isSystemProgramFolder(const QString& executableFolder)
{
    static const QStringList systemFolders{
        QStringLiteral("/bin"),       QStringLiteral("/sbin"),          QStringLiteral("/usr/bin"),
        QStringLiteral("/usr/sbin"),  QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/local/sbin"),
        QStringLiteral("/usr/games"),
    };
    const QString canonical = QFileInfo(executableFolder).canonicalFilePath();
    const QString folder = QDir::cleanPath(canonical.isEmpty() ? executableFolder : canonical);
    for (const QString& system : systemFolders) {
        const QString real = QFileInfo(system).canonicalFilePath();
        if (folder == system || (!real.isEmpty() && folder == real))
            return true;
    }
    return false;
}

} // namespace
#endif

QString WritableFolderOr(const QString& folder, const QString& userFolder)
{
    // Trying is the only sure test on Windows, where the folder's access list
    // (not its read-only flag) says who may write.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("gyro-write-probe-XXXXXX")));
    if (QFileInfo(folder).isDir() && probe.open())
        return folder;
    QDir().mkpath(userFolder);
    return userFolder;
}

QString ProgramFilesFolder(const QString& executableFolder, const QString& currentFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(currentFolder);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return WritableFolderOr(executableFolder, QDir(documents).filePath(QStringLiteral("gyroeval")));
#else
    return isSystemProgramFolder(executableFolder) ? currentFolder : executableFolder;
#endif
}

} // namespace gyro
