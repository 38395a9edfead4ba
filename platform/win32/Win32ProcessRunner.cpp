#include "Win32ProcessRunner.h"

#include <windows.h>

namespace gyro {

std::optional<int> Win32ProcessRunner::runAndWait(const QString& commandLine)
{
    QByteArray command = commandLine.toLocal8Bit(); // CreateProcessA may write into it
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                          nullptr, &startup, &process))
        return std::nullopt;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const BOOL known = ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (!known)
        return std::nullopt;
    return static_cast<int>(exitCode);
}

} // namespace gyro
