// The real version query: every Windows this program runs on is of the NT
// family and, by the family rule, "WinXP" (Wine answers 6.1, build 7601).
#include "Win32OsVersion.h"
#include "OsFamily.h"

#include <gtest/gtest.h>

namespace gyro {
namespace {

TEST(Win32OsVersion, ACurrentWindowsIsNtFamilyAndWinXp)
{
    Win32OsVersion os;
    const OsVersionInfo info = os.query();
    EXPECT_EQ(info.platformId, 2);
    EXPECT_GE(info.majorVersion, 6);
    EXPECT_GT(info.buildNumber, 0);
    EXPECT_EQ(OsFamilyName(info), QStringLiteral("WinXP"));
    EXPECT_TRUE(IsNtFamily(OsFamilyName(info)));
}

} // namespace
} // namespace gyro
