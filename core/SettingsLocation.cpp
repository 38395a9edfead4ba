#include "SettingsLocation.h"

#include "InterfaceSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace gyro {

QString UserSettingsFolder()
{
    // The generic location, not the application's own, so that gyroeval and
    // gyroctl (and every test program) agree on one folder.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir(base).filePath(QStringLiteral("gyroeval"));
}

bool IsWritableFolder(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString InterfaceSettingsPath(const QString& currentFolder, const QString& userFolder, bool startedFromMenu,
                              const std::function<bool(const QString&)>& writable)
{
    const QString inCurrent = QDir(currentFolder).filePath(InterfaceSettingsFileName);
    if (!startedFromMenu && (QFileInfo::exists(inCurrent) || writable(currentFolder)))
        return inCurrent;
    return QDir(userFolder).filePath(InterfaceSettingsFileName);
}

} // namespace gyro
