#include "WholeFile.h"

#include <QSaveFile>

namespace gyro {

bool WriteFileWhole(const QString& path, const QByteArray& contents, QString* reason)
{
    QSaveFile file(path);
    // Unbuffered, so a failing write (full disk, file size limit) shows in the
    // result of write() itself and not only in a later flush.
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                         WriteAll(file, contents.constData(), contents.size()) && file.flush() &&
                         file.error() == QFileDevice::NoError;
    if (written && file.commit())
        return true;
    if (reason != nullptr) {
        *reason = file.errorString();
        if (reason->isEmpty())
            *reason = QStringLiteral("the data could not be written completely");
    }
    file.cancelWriting(); // a temporary left open is removed, the target stays as it was
    return false;
}

bool WriteAll(QIODevice& device, const char* data, qint64 size)
{
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace gyro
