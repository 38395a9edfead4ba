#include "ExecutableFolder.h"

#include <QDir>
#include <QFileInfo>
#include <windows.h>

#include <vector>

namespace gyro {

QString ExecutableFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return QDir::currentPath();
        if (length < path.size())
            return QFileInfo(QString::fromWCharArray(path.data(), length)).absolutePath();
        path.resize(path.size() * 2); // cut short: a longer path
    }
}

} // namespace gyro
