#pragma once
// The folder the program keeps its files in (data logs, the register dump, the
// port driver's files): the folder of the executable, as the program has always
// done, unless the program may not write there:
// - on Linux, a system folder for programs such as /usr/bin, where an installed
//   program finds it read-only (or, run as root, would litter it): then the
//   current folder, where CommPort.cfg is read and written too;
// - on Windows, a folder where no file can be made (installed under Program
//   Files): then the folder "gyroeval" in the user's Documents, shared by both
//   programs and made when missing.
#include <QString>

namespace gyro {

QString ProgramFilesFolder(const QString& executableFolder, const QString& currentFolder);

// `folder` when a file can be made in it, otherwise `userFolder`, made when missing.
QString WritableFolderOr(const QString& folder, const QString& userFolder);

} // namespace gyro
