#include "ScratchFile.h"

#ifdef _WIN32
#include "SystemErrorText.h"

#include <QDir>
#include <QUuid>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include "SystemErrorText.h"

#include <QTemporaryFile>
#include <cerrno>
#endif

namespace gyro {

#ifdef _WIN32
std::unique_ptr<QFile> OpenScratchFile(QString* reason)
{
    const QString name =
        QDir(QDir::tempPath())
            .filePath(QStringLiteral("gyro-%1.tmp").arg(QUuid::createUuid().toString(QUuid::Id128)));
    const HANDLE handle =
        ::CreateFileW(QDir::toNativeSeparators(name).toStdWString().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *reason = LastSystemErrorText();
        return nullptr;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        *reason = QStringLiteral("no file descriptor for the temporary file");
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::_close(fd);
        *reason = file->errorString();
        return nullptr;
    }
    return file;
}
#else
std::unique_ptr<QFile> OpenScratchFile(QString* reason)
{
    std::unique_ptr<QFile> file = std::make_unique<QTemporaryFile>();
    // Through QFile: QTemporaryFile keeps its open with a mode protected.
    if (!file->open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        // Qt says "Unknown error" when the system's reason is all there is.
        const int code = errno;
        *reason = file->errorString() == QLatin1String("Unknown error")
                      ? SystemErrorText(static_cast<unsigned long>(code != 0 ? code : EIO))
                      : file->errorString();
        return nullptr;
    }
    QFile::remove(file->fileName()); // the open handle keeps the data
    return file;
}
#endif

} // namespace gyro
