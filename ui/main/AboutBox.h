#pragma once
// Help > About in the main window: the program's version, the interface in use
// and the platform, shown through the UI host's message.
#include "UiHost.h"

#include <QString>
#include <functional>

class QMainWindow;

namespace gyro {

// "Gyro Evaluation, version 0.1" and the interface and platform lines; an empty
// platform description (the real hardware) is said as such.
QString AboutText(const QString& appTitle, const QString& interfaceState, const QString& platform);

// Adds "Help" with "User Guide" (see UserGuide.h) and "About" (objectName
// mnuAbout) at the end of the menu bar; `text` is asked on each opening, so it
// tells the interface of that moment.
void AddHelpMenu(QMainWindow& window, UiHost& ui, const QString& appTitle, std::function<QString()> text);

} // namespace gyro
