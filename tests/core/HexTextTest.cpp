#include "HexText.h"

#include <gtest/gtest.h>

using namespace gyro;

TEST(HexToLong, ReadsUpToFourDigitsAndCountsStrayCharactersAsZero)
{
    EXPECT_EQ(HexToLong(QString()), 0);
    EXPECT_EQ(HexToLong(QStringLiteral("1f")), 31);
    EXPECT_EQ(HexToLong(QStringLiteral("0x1F")), 31); // the x counts as 0
    EXPECT_EQ(HexToLong(QStringLiteral("FFFF")), 65535);
    EXPECT_EQ(HexToLong(QStringLiteral("378h")), 0x3780);
    EXPECT_EQ(HexToLong(QStringLiteral("&H10")), 0x0010);
    EXPECT_EQ(HexToLong(QStringLiteral(" 1")), 1);
}

TEST(HexToLong, LongerTextIsReadByItsLastFourCharacters)
{
    EXPECT_EQ(HexToLong(QStringLiteral("12345")), 0x2345);
    EXPECT_EQ(HexToLong(QStringLiteral("0x12AB")), 0x12AB);
    EXPECT_EQ(HexToInteger(QStringLiteral("1FFFF")), -1);
}

TEST(HexToInteger, ReadsATwosComplementWord)
{
    EXPECT_EQ(HexToInteger(QStringLiteral("FFFF")), -1);
    EXPECT_EQ(HexToInteger(QStringLiteral("FFFE")), -2);
    EXPECT_EQ(HexToInteger(QStringLiteral("8000")), -32768);
    EXPECT_EQ(HexToInteger(QStringLiteral("7FFF")), 32767);
    EXPECT_EQ(HexToInteger(QStringLiteral("278")), 632);
}

TEST(ValueToHex4, FourUpperCaseDigitsOfTheLowWord)
{
    EXPECT_EQ(ValueToHex4(0), "0000");
    EXPECT_EQ(ValueToHex4(10), "000A");
    EXPECT_EQ(ValueToHex4(0x1234), "1234");
    EXPECT_EQ(ValueToHex4(-1), "FFFF");
    EXPECT_EQ(ValueToHex4(0x12345), "2345");
    EXPECT_EQ(ValueToHex4(-8191), "E001");
    EXPECT_EQ(ValueToHex4(2.5), "0002"); // rounded half to even
    EXPECT_EQ(ValueToHex4(3.5), "0004");
    EXPECT_EQ(ValueToHex4(5e12), ValueToHex4(static_cast<double>(5000000000000LL % 65536)));
}

TEST(HexOfInteger, NoLeadingZerosAndTwosComplementForNegatives)
{
    EXPECT_EQ(HexOfInteger(888), "378");
    EXPECT_EQ(HexOfInteger(0x3BC), "3BC");
    EXPECT_EQ(HexOfInteger(0), "0");
    EXPECT_EQ(HexOfInteger(-1), "FFFF");
}
