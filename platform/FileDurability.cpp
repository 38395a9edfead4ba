#include "FileDurability.h"

#include "SystemErrorText.h"

#ifdef _WIN32
#include <QDir>
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace gyro {

#ifdef _WIN32
bool SyncFileData(QFile& file, QString* reason)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    if (handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle))
        return true;
    *reason = LastSystemErrorText();
    return false;
}

void SyncFolder(const QString&) {}

bool RenameOver(const QString& from, const QString& to, QString* reason)
{
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *reason = LastSystemErrorText();
    return false;
}
#else
bool SyncFileData(QFile& file, QString* reason)
{
#ifdef __linux__
    const bool synced = ::fdatasync(file.handle()) == 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (!synced)
        *reason = LastSystemErrorText();
    return synced;
}

void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool RenameOver(const QString& from, const QString& to, QString* reason)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *reason = LastSystemErrorText();
    return false;
}
#endif

} // namespace gyro
