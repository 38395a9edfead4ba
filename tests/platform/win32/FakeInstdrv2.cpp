// Stands in for the port driver's installer "instdrv2" in the tests: it records
// its arguments in calls.txt beside itself and does to the giveio service's key
// what the real installer does. "giveio remove" deletes the key; "giveio FILE"
// makes it, with "Start" = 3 (on demand) and the driver file as "ImagePath".
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const ServiceKey = "SYSTEM\\CurrentControlSet\\Services\\giveio";

std::string ownFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

void record(int argc, char** argv)
{
    std::FILE* calls = std::fopen((ownFolder() + "\\calls.txt").c_str(), "ab");
    if (calls == nullptr)
        return;
    for (int i = 1; i < argc; ++i)
        std::fprintf(calls, "%s%s", i > 1 ? "|" : "", argv[i]);
    std::fprintf(calls, "\n");
    std::fclose(calls);
}

int install(const char* driverFile)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, ServiceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return 2;
    const DWORD onDemand = 3;
    ::RegSetValueExA(key, "Start", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&onDemand), sizeof onDemand);
    ::RegSetValueExA(key, "ImagePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(driverFile),
                     static_cast<DWORD>(std::strlen(driverFile) + 1));
    ::RegCloseKey(key);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    record(argc, argv);
    if (argc != 3 || std::strcmp(argv[1], "giveio") != 0)
        return 1;
    if (std::strcmp(argv[2], "remove") == 0) {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, ServiceKey);
        return 0;
    }
    return install(argv[2]);
}
