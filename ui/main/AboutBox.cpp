#include "AboutBox.h"

#include "ProgramVersion.h"
#include "UserGuide.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace gyro {

QString AboutText(const QString& appTitle, const QString& interfaceState, const QString& platform)
{
    return QStringLiteral("%1, version %2\n\nInterface: %3\nPlatform: %4")
        .arg(appTitle, QLatin1String(ProgramVersion), interfaceState,
             platform.isEmpty() ? QStringLiteral("this computer's hardware") : platform);
}

void AddHelpMenu(QMainWindow& window, UiHost& ui, const QString& appTitle, std::function<QString()> text)
{
    auto* menu = window.menuBar()->addMenu(QStringLiteral("&Help"));
    menu->setObjectName(QStringLiteral("mnuHelp"));
    AddUserGuideItem(*menu, ui, QCoreApplication::applicationDirPath());
    QAction* about = menu->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    QObject::connect(about, &QAction::triggered, &window, [&ui, appTitle, text = std::move(text)] {
        ui.message(text(), MsgButtons::Ok, MsgIcon::Information, QStringLiteral("About ") + appTitle);
    });
}

} // namespace gyro
