#pragma once
// The four Win32 calls the EZ-USB driver backend makes, as one replaceable set,
// so that a test can take the driver's place and check every request's code and
// buffer bytes. The signatures are those of the system's own functions.
#include <windows.h>

namespace gyro {

struct EzUsbSystemCalls {
    HANDLE(WINAPI* createFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL(WINAPI* deviceIoControl)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI* closeHandle)(HANDLE);
    DWORD(WINAPI* getLastError)();
};

// The system's own calls.
inline const EzUsbSystemCalls SystemEzUsbCalls{&::CreateFileA, &::DeviceIoControl, &::CloseHandle,
                                               &::GetLastError};

} // namespace gyro
