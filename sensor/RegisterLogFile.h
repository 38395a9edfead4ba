#pragma once
// "Registers_LOG.txt": the register table as the register window holds it, saved in
// the program's folder.
#include <QString>

namespace gyro {

// The file's path in `programFolder`.
QString RegisterLogPath(const QString& programFolder);

// Writes `text` with CR LF line ends, then one more CR LF, replacing the old file only
// once everything is written: on a failure the old file stays as it was, and the
// reason is left in `error`.
bool WriteRegisterLog(const QString& programFolder, const QString& text, QString* error);

} // namespace gyro
