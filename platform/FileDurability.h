#pragma once
// Getting a file's data onto the disk and putting a finished file in place of an
// old one, with each system's own calls: fdatasync and rename on POSIX,
// FlushFileBuffers and MoveFileExW (replace, write through) on Windows.
#include <QFile>
#include <QString>

namespace gyro {

// The file's data and size on the disk. False and the system's words in `reason`.
bool SyncFileData(QFile& file, QString* reason);
// A new or renamed name in `folder` on the disk too (POSIX); best effort, and
// nothing to do on Windows, where the rename writes through.
void SyncFolder(const QString& folder);
// Puts the closed file `from` in place of `to` in one step: a reader sees the old
// file or the new one, never a mix or none. False and the reason in `reason`;
// `from` is then left as it was.
bool RenameOver(const QString& from, const QString& to, QString* reason);

} // namespace gyro
