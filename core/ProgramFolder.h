#pragma once
// The folder the program keeps its files in (data logs, the register dump, the
// port driver's files): the folder of the executable, as the program has always
// done, unless that is a system folder for programs such as /usr/bin, where an
// installed program finds it read-only (or, run as root, would litter it). Then
// the current folder, where CommPort.cfg is read and written too.
#include <QString>

namespace gyro {

QString ProgramFilesFolder(const QString& executableFolder, const QString& currentFolder);

} // namespace gyro
