#include "ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace gyro {

QString ProgramFilesFolder(const QString& executableFolder, const QString& currentFolder)
{
    static const QStringList systemFolders{
        QStringLiteral("/bin"),       QStringLiteral("/sbin"),          QStringLiteral("/usr/bin"),
        QStringLiteral("/usr/sbin"),  QStringLiteral("/usr/local/bin"), QStringLiteral("/usr/local/sbin"),
        QStringLiteral("/usr/games"),
    };
    // Through links: /bin is a link to /usr/bin on merged-/usr systems.
    const QString canonical = QFileInfo(executableFolder).canonicalFilePath();
    const QString folder = QDir::cleanPath(canonical.isEmpty() ? executableFolder : canonical);
    for (const QString& system : systemFolders) {
        const QString real = QFileInfo(system).canonicalFilePath();
        if (folder == system || (!real.isEmpty() && folder == real))
            return currentFolder;
    }
    return executableFolder;
}

} // namespace gyro
