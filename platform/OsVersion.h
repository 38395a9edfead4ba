#pragma once
// The operating system's platform, version and build numbers, in the form the
// program classifies ("Win95", "Win98", "WinNT", "WinXP").
namespace gyro {

struct OsVersionInfo {
    int platformId = 2; // 1: Windows 95 family, 2: NT family
    int majorVersion = 0;
    int minorVersion = 0;
    int buildNumber = 0;
};

class OsVersion {
public:
    virtual ~OsVersion() = default;
    virtual OsVersionInfo query() = 0;
};

} // namespace gyro
