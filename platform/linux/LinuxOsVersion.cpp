#include "LinuxOsVersion.h"

namespace gyro {

OsVersionInfo LinuxOsVersion::query()
{
    OsVersionInfo info;
    info.platformId = 2; // NT family
    info.majorVersion = 5;
    info.minorVersion = 1;
    info.buildNumber = 2600;
    return info;
}

} // namespace gyro
