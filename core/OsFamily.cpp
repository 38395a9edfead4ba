#include "OsFamily.h"

namespace gyro {

QString OsFamilyName(const OsVersionInfo& info)
{
    if (info.platformId == OsPlatformLinux)
        return QStringLiteral("Linux");
    if (info.platformId == OsPlatformWin95)
        return info.buildNumber > 2000 ? QStringLiteral("Win98") : QStringLiteral("Win95");
    // Version 5.0 still counts as "WinNT"; anything above it as "WinXP".
    const bool above50 = info.majorVersion > 5 || (info.majorVersion == 5 && info.minorVersion > 0);
    return above50 ? QStringLiteral("WinXP") : QStringLiteral("WinNT");
}

bool IsNtFamily(const QString& osName)
{
    return osName == QLatin1String("WinNT") || osName == QLatin1String("WinXP");
}

bool PortsAreGuarded(const QString& osName)
{
    return IsNtFamily(osName) || osName == QLatin1String("Linux");
}

} // namespace gyro
