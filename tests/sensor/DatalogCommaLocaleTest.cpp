// A log written where the decimal mark is a comma, with the C library's locale
// set to it as the programs set it from the environment: every general-format
// field keeps its fraction, with the comma as its mark.
#include "CommaLocale.h"
#include "DatalogFixture.h"

using namespace gyro;
using namespace gyro::test;

TEST_F(DatalogTest, GeneralFormatFieldsKeepTheirFractionsUnderACommaLocale)
{
    const CommaCLocale comma;
    if (!comma.isSet())
        GTEST_SKIP() << comma.missingText();
    settings.locale = QLocale(QLocale::German, QLocale::Germany);
    sim.fakeClock()->setMidnightOffset(43210.5);
    settings.ckTime = true;
    settings.ckDisableNewDataFlags = true;
    settings.CheckReg = {true, true, false, false, false};
    settings.SamplesPerFile = 3;
    settings.SampleDelayMs = 10;
    sim.sensor().setRegisterWord(SupplyAddress, 2732);        // 4.99956 V
    sim.sensor().setRegisterWord(GyroAddress, NewData | 100); // 7.326 deg/s
    run();
    const QList<QByteArray> lines = fileBytes("DATALOG_1.txt").split('\n');
    ASSERT_EQ(lines.size(), 7 + 3 + 1);
    const std::pair<int, const char*> expected[] = {
        {3, "Begin Seconds\t43210,5\r"},    {4, "End Seconds\t43210,53\r"},
        {7, "1\t0\t4,99956\t7,326\t\r"},    {8, "2\t0,01\t4,99956\t7,326\t\r"},
        {9, "3\t0,02\t4,99956\t7,326\t\r"},
    };
    for (const auto& [line, text] : expected)
        EXPECT_EQ(lines[line], text) << "line " << line + 1;
}
