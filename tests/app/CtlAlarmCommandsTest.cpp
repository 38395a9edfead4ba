// gyroctl's alarm commands on the simulated sensor.
#include "CtlFixture.h"

#include <gtest/gtest.h>

using namespace gyro;

namespace {

constexpr int AlmMag1 = 0x20;
constexpr int AlmMag2 = 0x22;
constexpr int AlmSmpl2 = 0x26;
constexpr int AlmCtrl = 0x28;

struct CtlAlarms : test::CtlFixture {
    CtlAlarms() { g.InterfaceType = 2; }

    int run(const QString& command, const QStringList& arguments = {})
    {
        outText.clear();
        errText.clear();
        sim.sensor().clearTrace();
        return runCommand(command, arguments);
    }
    std::uint16_t word(int address) { return sim.sensor().registerWord(address); }
    void setWord(int address, std::uint16_t value) { sim.sensor().setRegisterWord(address, value); }
    // Whether any write frame went to the word at `address`.
    bool written(int address)
    {
        for (const auto& f : sim.sensor().trace()) {
            if ((f.out & 0x8000) && ((f.out >> 8) & 0x7E) == address)
                return true;
        }
        return false;
    }
};

TEST_F(CtlAlarms, AlarmWritesTheLevelWordAndPrintsTheReadBack)
{
    ASSERT_EQ(run("alarm", {"1", "--source", "gyro", "--level", "100", "--greater"}), ExitOk)
        << errText.toStdString();
    EXPECT_EQ(word(AlmMag1), 0x8555); // 100 / 0.07326 = 1365 counts, bit 15 for "Greater than"
    EXPECT_EQ(word(AlmCtrl), 0x0200);
    EXPECT_EQ(outText,
              "alarm 1\tsource Gyro\tlevel 100.000\tGreater than\taverage 0\trate of change Disabled\t"
              "Alm_Mag1 8555\tAlm_Smpl1 0000\tAlm_Ctrl 0200\n");

    // A level beyond what the source can hold is limited, and the user is told.
    ASSERT_EQ(run("alarm", {"1", "--source", "supply", "--level", "8"}), ExitOk);
    EXPECT_EQ(word(AlmMag1), 0x8FFF); // 4095 counts; "Greater than" kept
    EXPECT_TRUE(errText.contains("level 8 limited to 7.49385"));
}

TEST_F(CtlAlarms, SettingsNotGivenKeepTheSensorsValues)
{
    setWord(AlmCtrl, 0x6A05); // alarm 1 gyro with rate of change, alarm 2 temperature, indicator bits
    setWord(AlmMag1, 0x8555); // 100 deg/s, "Greater than"
    setWord(AlmMag2, 0x0045);
    ASSERT_EQ(run("alarm", {"1", "--less"}), ExitOk) << errText.toStdString();
    EXPECT_EQ(word(AlmMag1), 0x0555);
    EXPECT_EQ(word(AlmCtrl), 0x6A05);
    EXPECT_FALSE(written(AlmMag2)); // the other alarm is not touched

    ASSERT_EQ(run("alarm", {"2", "--average", "2.5", "--rate", "on"}), ExitOk);
    EXPECT_EQ(word(AlmSmpl2), 2); // halves round to even
    EXPECT_EQ(word(AlmCtrl), 0xEA05);
    EXPECT_EQ(word(AlmMag2), 0x0045);

    ASSERT_EQ(run("indicator", {"--line", "2", "--enable", "off"}), ExitOk);
    EXPECT_EQ(word(AlmCtrl), 0xEA01); // line bit set, enable cleared, polarity kept
    EXPECT_EQ(outText, "indicator\tDI/O 2\tpolarity Low\tDisabled\tAlm_Ctrl EA01\n");
}

TEST_F(CtlAlarms, AlarmsPrintsBothAlarmsAndTheIndicator)
{
    setWord(AlmCtrl, 0x6527);
    setWord(AlmMag2, 0x3FBB);
    ASSERT_EQ(run("alarms"), ExitOk) << errText.toStdString();
    const QStringList lines = outText.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("alarm 1\tsource Aux_ADC\tlevel 0.000\tLess than\t"));
    EXPECT_TRUE(lines[1].startsWith("alarm 2\tsource Temp\tlevel -10.034\tLess than\t"));
    EXPECT_TRUE(lines[1].endsWith("Alm_Mag2 3FBB\tAlm_Smpl2 0000\tAlm_Ctrl 6527"));
    EXPECT_EQ(lines[2], "indicator\tDI/O 2\tpolarity High\tEnabled\tAlm_Ctrl 6527");
}

TEST_F(CtlAlarms, UsageErrorsTouchNoHardware)
{
    const QList<QPair<QString, QStringList>> wrong{
        {"alarm", {}},
        {"alarm", {"3"}},
        {"alarm", {"1", "--source", "volts"}},
        {"alarm", {"1", "--level", "abc"}},
        // Not numbers, though a double parser reads them as such.
        {"alarm", {"1", "--source", "gyro", "--level", "inf"}},
        {"alarm", {"1", "--level", "-inf"}},
        {"alarm", {"1", "--level", "nan"}},
        {"alarm", {"1", "--average", "nan"}},
        {"alarm", {"1", "--average", "inf"}},
        {"alarm", {"1", "--level"}},
        {"alarm", {"1", "--greater", "--less"}},
        {"alarm", {"2", "--rate", "yes"}},
        {"alarm", {"2", "--colour", "red"}},
        {"indicator", {"--line", "3"}},
        {"alarms", {"1"}},
    };
    for (const auto& [command, arguments] : wrong) {
        EXPECT_EQ(run(command, arguments), ExitUsage) << arguments.join(' ').toStdString();
        EXPECT_FALSE(errText.isEmpty());
        EXPECT_TRUE(sim.sensor().trace().empty());
        EXPECT_TRUE(outText.isEmpty());
    }
}

TEST_F(CtlAlarms, NoAnswerPrintsNoNumbers)
{
    ASSERT_EQ(run("alarms"), ExitOk);
    sim.usb().stopAnswering(0);
    EXPECT_EQ(run("alarms"), ExitTransportFailed);
    EXPECT_TRUE(outText.isEmpty());
    EXPECT_EQ(run("alarm", {"1", "--source", "gyro"}), ExitTransportFailed);
    EXPECT_TRUE(outText.isEmpty());
}

} // namespace
