#include "OsFamily.h"

#include <gtest/gtest.h>

using namespace gyro;

TEST(OsFamily, ClassifiesPlatformVersionAndBuild)
{
    EXPECT_EQ(OsFamilyName({1, 4, 10, 2222}), "Win98");
    EXPECT_EQ(OsFamilyName({1, 4, 10, 2000}), "Win95"); // 2000 or less is still the 95 family
    EXPECT_EQ(OsFamilyName({1, 4, 0, 950}), "Win95");
    EXPECT_EQ(OsFamilyName({2, 5, 0, 2195}), "WinNT"); // version 5.0 counts as NT
    EXPECT_EQ(OsFamilyName({2, 4, 0, 1381}), "WinNT");
    EXPECT_EQ(OsFamilyName({2, 5, 1, 2600}), "WinXP");
    EXPECT_EQ(OsFamilyName({2, 6, 0, 6000}), "WinXP");
    EXPECT_TRUE(IsNtFamily(QStringLiteral("WinXP")));
    EXPECT_TRUE(IsNtFamily(QStringLiteral("WinNT")));
    EXPECT_FALSE(IsNtFamily(QStringLiteral("Win98")));
}
