// gyroctl where the decimal mark is a comma: every number it prints keeps its
// fraction, and the levels it writes are the ones given (a point on the command line).
#include "CommaLocale.h"
#include "CtlFixture.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

constexpr int SupplyAddress = 0x02;
constexpr int TempAddress = 0x0C;
constexpr int GyroScaleAddress = 0x16;

using CtlUnderACommaCLocale = test::CtlFixture;

struct CommaCase {
    QStringList arguments; // the command and its arguments
    const char* printed;   // a pattern the output must match
    const char* told = ""; // what standard error says, all of it
};

} // namespace

// In this process Qt's system locale is the one the tests started with (a point),
// so only the C library's locale is German: the digits must not depend on it.
// The commands run in turn on one simulated sensor.
TEST_F(CtlUnderACommaCLocale, PrintedNumbersKeepTheirFractions)
{
    const test::CommaCLocale comma;
    if (!comma.isSet())
        GTEST_SKIP() << comma.missingText();
    g.InterfaceType = 2;
    sim.sensor().setRegisterWord(SupplyAddress, 2732);
    sim.sensor().setRegisterWord(TempAddress, 7);
    sim.sensor().setRegisterWord(GyroScaleAddress, 0x0800);
    const CommaCase cases[] = {
        {{"read", "Supply_Out", "Temp_Out"}, "^Supply_Out\t0AAC\t4\\.99956\nTemp_Out\t0007\t26\\.0179\n$"},
        // The title line has one field more than the rows (the empty one after Name).
        {{"dump"},
         "^Name\t\tAddr\thexValue\t   decValue\r\n[^\r]*\r\n[^\t\r]*\t[^\t\r]*\t[^\t\r]*\t[^\t\r]*\r\n"},
        {{"dump"}, "\nSupply_Out    \t0002\t0AAC\t   4\\.99956\r\n"},
        {{"dump"}, "\nGYRO_SCALE    \t0016\t0800\t   0\\.99942\r\n"},
        {{"alarm", "1", "--source", "supply", "--level", "4.5"}, "\tlevel 4\\.500\t.*\tAlm_Mag1 099B\t"},
        {{"alarms"}, "^alarm 1\tsource Supply V\tlevel 4\\.500\t"},
        {{"alarm", "1", "--source", "gyro", "--level", "12.5"}, "\tlevel 12\\.527\t.*\tAlm_Mag1 00AB\t"},
        {{"alarm", "1", "--source", "supply", "--level", "8.1"},
         "\tlevel 7\\.494\t",
         "gyroctl: level 8.1 limited to 7.49385\n"},
    };
    for (const auto& [arguments, printed, told] : cases) {
        outText.clear();
        errText.clear();
        EXPECT_EQ(runCommand(arguments.front(), arguments.mid(1)), ExitOk)
            << arguments.join(' ').toStdString() << ": " << errText.toStdString();
        EXPECT_TRUE(outText.contains(QRegularExpression(QString::fromLatin1(printed))))
            << arguments.join(' ').toStdString() << ":\n"
            << outText.toStdString();
        EXPECT_EQ(errText.toStdString(), told) << arguments.join(' ').toStdString();
    }
}

// The program itself under LC_ALL=de_DE.UTF-8, as a user in a comma locale runs
// it: Qt's locale and the C library's are both German, so numbers show a comma.
TEST(GyroctlProgram, NumbersKeepTheirFractionsUnderLcAllGerman)
{
    if (!test::CommaCLocale().isSet())
        GTEST_SKIP() << test::CommaCLocale::missingText();
    QTemporaryDir dir;
    const QString series = dir.filePath(QStringLiteral("series.txt"));
    QFile seriesFile(series);
    ASSERT_TRUE(seriesFile.open(QIODevice::WriteOnly));
    for (int i = 0; i < 400; ++i)
        seriesFile.write(QByteArray::number((i * 7919) % 61 - 30) + '\n');
    seriesFile.close();
    auto gyroctl = [&dir](const QStringList& arguments) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(test::CommaLocaleName));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(GYROCTL_PROGRAM),
                      QStringList{"--simulate", "--interface", "usb"} + arguments);
        EXPECT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitCode(), ExitOk);
        return std::pair{QString::fromLocal8Bit(program.readAllStandardOutput()),
                         QString::fromLocal8Bit(program.readAllStandardError())};
    };
    const CommaCase cases[] = {
        {{"read", "Supply_Out", "Temp_Out"},
         "^Supply_Out\t[0-9A-F]{4}\t\\d+,\\d+\nTemp_Out\t[0-9A-F]{4}\t\\d+,\\d+\n$"},
        {{"dump"}, "\nSupply_Out    \t0002\t[0-9A-F]{4}\t   \\d,\\d+\r\n"},
        {{"alarm", "1", "--source", "supply", "--level", "4.5"}, "\tlevel 4,500\t.*\tAlm_Mag1 099B\t"},
        {{"alarm", "1", "--source", "gyro", "--level", "12.5"}, "\tlevel 12,527\t.*\tAlm_Mag1 00AB\t"},
        {{"alarm", "1", "--source", "supply", "--level", "8.1"},
         "\tlevel 7,494\t",
         "gyroctl: level 8,1 limited to 7,49385\n"},
        {{"log", "--samples", "3", "--delay", "10", "--time", "--select", "supply", "--dir", dir.path()},
         "/DATALOG_1\\.txt\n$"},
        // The noise analysis too: its table and summary (the rate given with a point).
        {{"allan", series, "--rate", "256.5"},
         "^tau_s\tadev\tlower\tupper\tclusters\n0,003898635\t\\d+,\\d+\t",
         "400 samples of column 1, 256,5 samples a second (given), summed exactly in steps of 1\n"},
    };
    for (const CommaCase& c : cases) {
        const auto [out, err] = gyroctl(c.arguments);
        EXPECT_TRUE(out.contains(QRegularExpression(QString::fromLatin1(c.printed))))
            << c.arguments.join(' ').toStdString() << ":\n"
            << out.toStdString();
        EXPECT_EQ(err.toStdString(), c.told) << c.arguments.join(' ').toStdString();
    }
    // Samples 2 and 3 come about 10 ms apart: times and supply keep their fractions.
    QFile log(dir.filePath(QStringLiteral("DATALOG_1.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_EQ(lines.size(), 7 + 3 + 1);
    for (int sample : {2, 3}) {
        const QString line = QString::fromLatin1(lines[6 + sample]);
        EXPECT_TRUE(line.contains(
            QRegularExpression(QStringLiteral("^%1\t0,0\\d+\t[01]\t\\d,\\d+\t\r$").arg(sample))))
            << line.toStdString();
    }
}
