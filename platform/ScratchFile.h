#pragma once
// A temporary file in the system's temporary folder that no name reaches and that
// vanishes with its handle, even when the process is killed: unlinked right after
// creation on POSIX, opened delete-on-close on Windows.
#include <QFile>
#include <QString>
#include <memory>

namespace gyro {

// The open file (read and write, unbuffered), or nullptr and the reason in `reason`.
std::unique_ptr<QFile> OpenScratchFile(QString* reason);

} // namespace gyro
