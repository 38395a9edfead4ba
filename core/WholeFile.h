#pragma once
// Writing a file whole or not at all: the text goes to a temporary file beside
// the target, every write and the flush are checked, and only then is the
// temporary renamed over the old file. Any failure leaves the old file byte for
// byte and says why.
#include <QByteArray>
#include <QString>

class QIODevice;

namespace gyro {

// Replaces `path` with `contents`. Returns false, with the reason (the system's
// own words, e.g. "No space left on device") in `reason` when given, if the file
// could not be written; the old file is then untouched.
bool WriteFileWhole(const QString& path, const QByteArray& contents, QString* reason = nullptr);

// Writes all `size` bytes to `device`. A short write (the disk filled in the
// middle) is followed by another for the rest, so that a failure sets the
// device's error and its reason; false then.
bool WriteAll(QIODevice& device, const char* data, qint64 size);

} // namespace gyro
