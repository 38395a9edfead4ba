#include "NumberText.h"
#include "CommaLocale.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace gyro;

namespace {
const QLocale c(QLocale::C);
const QLocale german(QLocale::German, QLocale::Germany);
} // namespace

TEST(LeadingNumber, ReadsTheNumberAtTheStart)
{
    EXPECT_EQ(LeadingNumber(QStringLiteral("12abc")), 12.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(LeadingNumber(QString()), 0.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("  -1.5e2x")), -150.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("2.5.7")), 2.5);
    EXPECT_EQ(LeadingNumber(QStringLiteral("1 2 3")), 123.0); // blanks inside are skipped
    EXPECT_EQ(LeadingNumber(QStringLiteral("3e")), 3.0);      // an exponent needs digits
    EXPECT_EQ(LeadingNumber(QStringLiteral("1,5")), 1.0);     // the point is the only mark
    EXPECT_EQ(LeadingNumber(QStringLiteral("&H1F")), 31.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("-")), 0.0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("1e999")), 0.0); // no infinity leaks out
    // 256 hex digits F are 2^1024 - 1, beyond a double: no number rather than infinity.
    EXPECT_EQ(LeadingNumber(QStringLiteral("&H") + QString(256, u'F')), 0.0);
    EXPECT_TRUE(std::isfinite(LeadingNumber(QStringLiteral("&H") + QString(255, u'F'))));
}

TEST(IsNumeric, WholeTextInTheLocaleFormat)
{
    EXPECT_TRUE(IsNumeric(QStringLiteral(" 12.5 "), c));
    EXPECT_TRUE(IsNumeric(QStringLiteral("-3"), c));
    EXPECT_TRUE(IsNumeric(QStringLiteral("1e3"), c));
    EXPECT_FALSE(IsNumeric(QStringLiteral("12abc"), c));
    EXPECT_FALSE(IsNumeric(QString(), c));
    EXPECT_FALSE(IsNumeric(QStringLiteral("  "), c));
    EXPECT_TRUE(IsNumeric(QStringLiteral("12,5"), german));
    EXPECT_DOUBLE_EQ(LocaleNumber(QStringLiteral("12,5"), german), 12.5);
    EXPECT_EQ(LocaleNumber(QStringLiteral("x"), german), 0.0);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-1365.3), -1365.0);
    EXPECT_EQ(RoundHalfEven(0.49999999), 0.0);
}

TEST(FormatNumber, PatternsOfTheWindows)
{
    EXPECT_EQ(FormatNumber(-8191 * 0.07326, QStringLiteral("0.00"), c), "-600.07");
    EXPECT_EQ(FormatNumber(25.0, QStringLiteral("0.00"), c), "25.00");
    EXPECT_EQ(FormatNumber(599.999, QStringLiteral("#0.000"), c), "599.999");
    EXPECT_EQ(FormatNumber(0.5, QStringLiteral("#0.000"), c), "0.500");
    EXPECT_EQ(FormatNumber(2.0, QStringLiteral("##0.0##"), c), "2.0");
    EXPECT_EQ(FormatNumber(2.12345, QStringLiteral("##0.0##"), c), "2.123");
    EXPECT_EQ(FormatNumber(0.07326, QStringLiteral("0.0####"), c), "0.07326");
    EXPECT_EQ(FormatNumber(25.0, QStringLiteral("0.0####"), c), "25.0");
    EXPECT_EQ(FormatNumber(7.0, QStringLiteral("0"), c), "7");
    EXPECT_EQ(FormatNumber(-0.001, QStringLiteral("0.00"), c), "0.00"); // no "-0.00"
    EXPECT_EQ(FormatNumber(0.5, QStringLiteral("#.00"), c), ".50");
    EXPECT_EQ(FormatNumber(1.5, QStringLiteral("0.00"), german), "1,50");
}

TEST(FormatNumber, ExactHalvesRoundAwayFromZero)
{
    EXPECT_EQ(FormatNumber(0.125, QStringLiteral("0.00"), c), "0.13");
    EXPECT_EQ(FormatNumber(-0.125, QStringLiteral("0.00"), c), "-0.13");
    EXPECT_EQ(FormatNumber(2.5, QStringLiteral("0"), c), "3");
    EXPECT_EQ(FormatNumber(1.005, QStringLiteral("0.00"), c), "1.01"); // the digits shown, not 1.00499...
    EXPECT_EQ(FormatNumber(9.995, QStringLiteral("0.00"), c), "10.00");
    EXPECT_EQ(FormatNumber(0.0, QStringLiteral("0.00"), c), "0.00");
    EXPECT_EQ(FormatNumber(1e20, QStringLiteral("0"), c), "100000000000000000000");
}

TEST(FormatNumber, SinglePrecisionValuesFormatAsTheirDecimal)
{
    // 0.015f is 0.0149999997: formatted as the decimal it stands for, it shows 0.02.
    EXPECT_EQ(FormatNumber(0.015f, QStringLiteral("0.00"), c), "0.02");
    EXPECT_EQ(SingleAsDecimal(0.1f), 0.1);
}

TEST(GeneralFormat, ShortestFormWithTheLocaleMark)
{
    EXPECT_EQ(GeneralFormat(0.0, 15, c), "0");
    EXPECT_EQ(GeneralFormat(-1.0, 15, c), "-1");
    EXPECT_EQ(GeneralFormat(0.07326f, c), "0.07326");
    EXPECT_EQ(GeneralFormat(-8191 * 0.07326f, c), "-600.0727");
    EXPECT_EQ(GeneralFormat(12345678.0f, c), "1.234568E+07");
    EXPECT_EQ(GeneralFormat(0.000015f, c), "1.5E-05");
    EXPECT_EQ(GeneralFormat(25.5f, german), "25,5");
}

// Both programs take the C library's locale from the environment, so in a
// decimal-comma locale strtod and printf use a comma. The helpers must read and
// write the same digits whatever it says; the mark shown comes from the QLocale.
TEST(NumberText, DigitsDoNotDependOnTheCLibraryLocale)
{
    const test::CommaCLocale comma;
    if (!comma.isSet())
        GTEST_SKIP() << comma.missingText();
    const struct {
        const char* what;
        QString shown;
        const char* expected;
    } cases[] = {
        {"general, supply", GeneralFormat(2732 * 0.00183f, c), "4.99956"},
        {"general, temperature", GeneralFormat(25.0f + 7 * 0.1454139f, c), "26.0179"},
        {"general, scale", GeneralFormat(0.000488f, german), "0,000488"},
        {"general, seconds", GeneralFormat(43210.25f, german), "43210,25"},
        {"general, exponent", GeneralFormat(0.000015f, c), "1.5E-05"},
        {"fixed, rate", FormatNumber(73.26f, QStringLiteral("0.00"), c), "73.26"},
        {"fixed, level", FormatNumber(4.5f, QStringLiteral("#0.000"), german), "4,500"},
        {"fixed, table", FormatNumber(4.99956f, QStringLiteral("0.0####"), c), "4.99956"},
        {"leading, fraction", QString::number(LeadingNumber(QStringLiteral("12.5x"))), "12.5"},
        {"leading, exponent", QString::number(LeadingNumber(QStringLiteral("-1.5e-1"))), "-0.15"},
        {"leading, plus sign", QString::number(LeadingNumber(QStringLiteral("+2.25"))), "2.25"},
        {"leading, comma is no mark", QString::number(LeadingNumber(QStringLiteral("1,5"))), "1"},
        {"leading, too large", QString::number(LeadingNumber(QStringLiteral("1e999"))), "0"},
        {"single as decimal", QString::number(SingleAsDecimal(26.0179f)), "26.0179"},
    };
    for (const auto& [what, shown, expected] : cases)
        EXPECT_EQ(shown.toStdString(), expected) << what;
}
