#pragma once
// Where the interface settings file CommPort.cfg is read and written. The
// program keeps it in the current directory, as it always has, when that folder
// holds one or can take one; started from the desktop menu (whose current folder
// is the home folder), or from a folder it cannot write (such as /), it keeps it
// in the user's own settings folder instead, so a choice is never lost there.
#include <QString>
#include <functional>

namespace gyro {

// The user's settings folder for the program: on Linux ~/.config/gyroeval (or
// $XDG_CONFIG_HOME/gyroeval), on Windows the gyroeval folder under AppData\Local.
QString UserSettingsFolder();

// Whether a new file can be made in `folder`.
bool IsWritableFolder(const QString& folder);

// The settings file's path: in `currentFolder` when that holds CommPort.cfg or is
// writable, unless `startedFromMenu`; otherwise in `userFolder`.
QString InterfaceSettingsPath(const QString& currentFolder, const QString& userFolder, bool startedFromMenu,
                              const std::function<bool(const QString&)>& writable = IsWritableFolder);

} // namespace gyro
