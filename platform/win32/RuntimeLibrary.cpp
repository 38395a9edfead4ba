#include "RuntimeLibrary.h"

#include "SystemErrorText.h"

#include <QDir>

namespace gyro {

RuntimeLibrary::RuntimeLibrary(const QString& folder, const QString& fileName) : fileName_(fileName)
{
    const QString path = QDir::toNativeSeparators(QDir(folder).filePath(fileName));
    // No "cannot find" dialog box: a missing library is told in the program's words.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // The library's own dependencies are looked up in its folder first.
    module_ = ::LoadLibraryExW(path.toStdWString().c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD error = ::GetLastError();
    ::SetErrorMode(oldMode);
    if (module_ == nullptr)
        failure_ = SystemErrorText(error);
}

RuntimeLibrary::~RuntimeLibrary()
{
    if (module_ != nullptr)
        ::FreeLibrary(module_);
}

} // namespace gyro
