#include "LinuxOsVersion.h"

#include <sys/utsname.h>

#include <cstdio>

namespace gyro {

OsVersionInfo LinuxOsVersion::query()
{
    OsVersionInfo info;
    info.platformId = OsPlatformLinux;
    utsname names{};
    if (uname(&names) == 0)
        std::sscanf(names.release, "%d.%d.%d", &info.majorVersion, &info.minorVersion, &info.buildNumber);
    return info;
}

} // namespace gyro
