#pragma once
// The operating system's platform, version and build numbers, in the form the
// program classifies ("Win95", "Win98", "WinNT", "WinXP", "Linux"), and whether
// the parallel port needs a port driver installed before use.
namespace gyro {

constexpr int OsPlatformWin95 = 1;
constexpr int OsPlatformNt = 2;
constexpr int OsPlatformLinux = 3;

struct OsVersionInfo {
    int platformId = OsPlatformNt; // OsPlatformWin95, OsPlatformNt or OsPlatformLinux
    int majorVersion = 0;
    int minorVersion = 0;
    int buildNumber = 0;
};

class OsVersion {
public:
    virtual ~OsVersion() = default;
    virtual OsVersionInfo query() = 0;
    // Whether the parallel port can be used only once the port I/O driver is
    // installed: on the NT family of Windows.
    virtual bool portDriverNeeded() { return query().platformId == OsPlatformNt; }
};

} // namespace gyro
