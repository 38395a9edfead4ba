#pragma once
// Help > User Guide: the user guide's HTML pages in the desktop's browser. The
// guide lies in share/doc/gyroeval/guide beside the program's bin folder:
// /usr/share/doc/gyroeval/guide for the installed program, build/share/doc/...
// in the build tree, where the build writes it from docs/.
#include "UiHost.h"

#include <QString>

class QMenu;

namespace gyro {

// The guide's first page for a program whose executable is in `executableFolder`.
QString UserGuideIndex(const QString& executableFolder);

// Adds "User Guide" (objectName mnuUserGuide) to `help`. It opens the guide's
// first page; a guide that is not there, or a browser that does not start, is
// told with the page's path.
void AddUserGuideItem(QMenu& help, UiHost& ui, const QString& executableFolder);

} // namespace gyro
