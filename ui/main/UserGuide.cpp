#include "UserGuide.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

namespace gyro {

QString UserGuideIndex(const QString& executableFolder)
{
    // Installed on Linux (and in the build tree) the guide is under share/doc
    // beside bin/; the Windows installer puts it in a folder beside the program.
    const QString shared =
        QDir::cleanPath(executableFolder + QStringLiteral("/../share/doc/gyroeval/guide/index.html"));
    const QString beside = QDir::cleanPath(executableFolder + QStringLiteral("/guide/index.html"));
    return !QFileInfo::exists(shared) && QFileInfo::exists(beside) ? beside : shared;
}

void AddUserGuideItem(QMenu& help, UiHost& ui, const QString& executableFolder)
{
    QAction* guide = help.addAction(QStringLiteral("User &Guide"));
    guide->setObjectName(QStringLiteral("mnuUserGuide"));
    QObject::connect(guide, &QAction::triggered, &help, [&ui, index = UserGuideIndex(executableFolder)] {
        const QString shown = QDir::toNativeSeparators(index);
        if (!QFileInfo::exists(index))
            ui.message(QStringLiteral("The user guide is not installed: %1 is missing.").arg(shown),
                       MsgButtons::Ok, MsgIcon::Exclamation);
        else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(index)))
            ui.message(QStringLiteral("No browser could open the user guide, %1.").arg(shown), MsgButtons::Ok,
                       MsgIcon::Exclamation);
    });
}

} // namespace gyro
