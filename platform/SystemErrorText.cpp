#include "SystemErrorText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace gyro {

#ifdef _WIN32
QString SystemErrorText(unsigned long code)
{
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, static_cast<qsizetype>(length)).trimmed()
                                 : QStringLiteral("system error %1").arg(code);
    if (text != nullptr)
        ::LocalFree(text);
    return message;
}

QString LastSystemErrorText()
{
    return SystemErrorText(::GetLastError());
}
#else
QString SystemErrorText(unsigned long code)
{
    return QString::fromLocal8Bit(std::strerror(static_cast<int>(code)));
}

QString LastSystemErrorText()
{
    return SystemErrorText(static_cast<unsigned long>(errno));
}
#endif

} // namespace gyro
