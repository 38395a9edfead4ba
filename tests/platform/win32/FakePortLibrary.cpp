// Stands in for the port I/O libraries in the tests (copied beside a test's
// program folder as win95io.dll, giveio.dll or inpoutx64.dll): every call is
// appended as a line to the file that GYRO_FAKE_PORT_LOG names, and a port read
// answers the number in GYRO_FAKE_PORT_STATUS (0xFF when unset).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

void record(const char* format, int port = 0, int value = 0)
{
    const char* path = std::getenv("GYRO_FAKE_PORT_LOG");
    std::FILE* log = path != nullptr ? std::fopen(path, "ab") : nullptr;
    if (log == nullptr)
        return;
    std::fprintf(log, format, port, value);
    std::fclose(log);
}

short status()
{
    const char* text = std::getenv("GYRO_FAKE_PORT_STATUS");
    return static_cast<short>(text != nullptr ? std::strtol(text, nullptr, 0) : 0xFF);
}

} // namespace

extern "C" {

__declspec(dllexport) void WINAPI vbOut(short port, short value)
{
    record("vbOut %d %d\n", port, value);
}

__declspec(dllexport) short WINAPI vbInp(short port)
{
    record("vbInp %d\n", port);
    return status();
}

__declspec(dllexport) void WINAPI giveio()
{
    record("giveio\n");
}

__declspec(dllexport) void WINAPI Out32(short port, short value)
{
    record("Out32 %d %d\n", port, value);
}

__declspec(dllexport) short WINAPI Inp32(short port)
{
    record("Inp32 %d\n", port);
    return status();
}

} // extern "C"
