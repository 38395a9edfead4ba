#include "Win32OsVersion.h"

#include <windows.h>

namespace gyro {

namespace {

using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);

template <class Info> OsVersionInfo versionOf(const Info& info)
{
    return {static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwMajorVersion),
            static_cast<int>(info.dwMinorVersion), static_cast<int>(info.dwBuildNumber)};
}

} // namespace

OsVersionInfo Win32OsVersion::query()
{
    if (const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        const auto rtlGetVersion = reinterpret_cast<RtlGetVersionCall>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (rtlGetVersion != nullptr && rtlGetVersion(&info) == 0)
            return versionOf(info);
    }
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (::GetVersionExA(&info))
        return versionOf(info);
#pragma GCC diagnostic pop
    return {}; // NT family, version 0: "WinNT"
}

} // namespace gyro
