// gyroctl's configuration and calibration commands on the simulated sensor: what
// they print, the frames they send, and the usage errors that send none.
#include "CtlFixture.h"
#include "CtlInterrupt.h"

#include <csignal>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

struct CtlConfig : test::CtlFixture {
    CtlConfig()
    {
        g.OsName = QStringLiteral("Win98"); // the parallel port needs no driver there
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10000; // 1 ns a turn: the waits move simulated time
    }

    int run(std::int16_t interfaceType, const QString& command, const QStringList& arguments = {})
    {
        outText.clear();
        g.InterfaceType = interfaceType;
        return runCommand(command, arguments);
    }

    std::vector<std::uint16_t> writesOut()
    {
        std::vector<std::uint16_t> writes;
        for (const auto& f : sim.sensor().trace()) {
            if ((f.out & 0x8000) != 0)
                writes.push_back(f.out);
        }
        sim.sensor().clearTrace();
        return writes;
    }
};

} // namespace

TEST_F(CtlConfig, SettingsPrintWhatTheSensorHoldsAfterTheWrite)
{
    struct Case {
        std::int16_t interfaceType;
        QString command;
        QStringList arguments;
        QString printed;
    };
    const Case cases[] = {
        {2, "rate", {"256"}, "rate\t256.016\nSmpl_Prd\t0001\n"},
        {1, "rate", {"0.01"}, "rate\t0.129\nSmpl_Prd\t00FF\n"},
        {2, "rate", {}, "rate\t0.129\nSmpl_Prd\t00FF\n"}, // shows what the sensor holds
        // Factory Sens_Avg 0x0402; only the range changes: 160 deg/s (0x200), 9 taps kept.
        {2, "filter", {"--range", "160"}, "taps\t9\nrange\t160\nbandwidth\t50\nSens_Avg\t0202\n"},
        {2,
         "filter",
         {"--taps", "100", "--bandwidth", "300"},
         "taps\t129\nrange\t160\nbandwidth\t300\nSens_Avg\t0286\n"},
        {2, "dac", {"1.25"}, "volts\t1.2496947\nAux_DAC\t07FF\n"},
        {2, "offset", {"0.01"}, "offset\t0.018\nGYRO_OFST\t0001\n"},
        {2, "offset", {"-40"}, "offset\t-37.509\nGYRO_OFST\tF800\n"},
        {2, "factory-cal", {}, "offset\t0.000\nGYRO_OFST\t0000\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.interfaceType, c.command, c.arguments), ExitOk) << errText.toStdString();
        EXPECT_EQ(outText, c.printed)
            << c.command.toStdString() << ' ' << c.arguments.join(' ').toStdString();
    }
    // The last command, factory-cal, brings Sens_Avg 0x0402 back: the scale follows to 320 deg/s.
    EXPECT_FLOAT_EQ(g.Reg[Idx_Gyro_Out].RegScale, 0.07326f);
    EXPECT_TRUE(errText.contains("offset -40 is out of range; using -37.50912"));
}

TEST_F(CtlConfig, UsbLowPowerLimitIsWrittenAndToldOnStandardError)
{
    EXPECT_EQ(run(2, "rate", {"10"}), ExitOk);
    EXPECT_EQ(outText, "rate\t51.203\nSmpl_Prd\t0009\n");
    EXPECT_TRUE(errText.contains("will place the 28150 into low power mode."));
}

// A rate beyond the sensor's is set to the nearest it has, with a note on stderr.
TEST_F(CtlConfig, ARateBeyondTheLimitsIsNotedWhereItIsCorrected)
{
    const std::pair<const char*, const char*> cases[] = {{"1e308", "2048"}, {"0", "0.129"}, {"-5", "0.129"}};
    for (const auto& [entered, used] : cases) {
        errText.clear();
        EXPECT_EQ(run(1, "rate", {entered}), ExitOk) << entered;
        EXPECT_TRUE(errText.contains(QStringLiteral("out of range; using %1").arg(used)))
            << errText.toStdString();
    }
    errText.clear();
    EXPECT_EQ(run(1, "rate", {"2048"}), ExitOk);
    EXPECT_TRUE(errText.isEmpty()) << errText.toStdString();
}

TEST_F(CtlConfig, CommandsWriteTheFramesTheWindowsWrite)
{
    ASSERT_EQ(run(2, "flash"), ExitOk);
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xBF00, 0xBE08}));
    ASSERT_EQ(run(2, "null"), ExitOk);
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xBF00, 0xBE01}));
    EXPECT_TRUE(outText.startsWith("offset\t"));
    // The DAC code, then Command 4.
    ASSERT_EQ(run(2, "dac", {"3"}), ExitOk);
    EXPECT_EQ(writesOut(), (std::vector<std::uint16_t>{0xB10F, 0xB0FF, 0xBF00, 0xBE04}));
}

TEST_F(CtlConfig, UsageErrorsSendNothing)
{
    const std::pair<QString, QStringList> cases[] = {
        {"rate", {"x"}},
        {"rate", {"nan"}},
        {"rate", {"inf"}},
        {"dac", {"-inf"}},
        {"offset", {"nan"}},
        {"rate", {"1", "2"}},
        {"filter", {"--range", "90"}},
        {"filter", {"--taps"}},
        {"filter", {"--bandwidth", "100"}},
        {"dac", {"x"}},
        {"offset", {"abc"}},
        {"bias", {}},
        {"bias", {"abc"}},
        {"bias", {"1", "--now"}},
        {"flash", {"1"}},
        {"null", {"1"}},
    };
    for (const auto& [command, arguments] : cases)
        EXPECT_EQ(run(2, command, arguments), ExitUsage)
            << command.toStdString() << ' ' << arguments.join(' ').toStdString();
    EXPECT_TRUE(sim.sensor().trace().empty());
    EXPECT_TRUE(sim.usb().pipe0Requests().empty());
}

TEST_F(CtlConfig, BiasPrintsTheMeanCountAndProposalAndApplies)
{
    // The parallel port's frame gaps move simulated time, so the run ends on its own.
    sim.sensor().setRegisterWord(0x14, 0x0100);
    ASSERT_EQ(run(1, "bias", {"0.05", "--apply"}), ExitOk) << errText.toStdString();
    const QStringList lines = outText.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << outText.toStdString();
    EXPECT_TRUE(lines[0].startsWith("samples\t"));
    EXPECT_GT(lines[0].section('\t', 1).toInt(), 10);
    const double mean = lines[1].section('\t', 1).toDouble();
    EXPECT_EQ(lines[2], "proposed\t" + QString::number(-mean, 'f', 3));
    // Applied as "Update" does: the proposal in counts, read back.
    EXPECT_EQ(lines[3], "offset\t" + QString::number(qRound(-mean / 0.018315) * 0.018315, 'f', 3));
    EXPECT_TRUE(lines[4].startsWith("GYRO_OFST\t"));
}

// A run that is not applied puts back the offset it cleared: the calibration the
// user had (here -5 deg/s, count -273 = 0xFEEF) survives an interrupted or
// unapplied run, and only an applied one replaces it.
TEST_F(CtlConfig, BiasRestoresTheOffsetItClearedUnlessItsProposalIsApplied)
{
    struct Case {
        const char* name;
        QStringList arguments;
        bool interrupted;
        int status;
        bool restored;
    };
    const Case cases[] = {
        {"not applied", {"0.05"}, false, ExitOk, true},
        {"interrupted", {"100", "--apply"}, true, ExitInterrupted, true},
        {"applied", {"0.05", "--apply"}, false, ExitOk, false},
    };
    for (const Case& c : cases) {
        sim.sensor().setRegisterWord(0x14, 0xFEEF);
        sim.sensor().clearTrace();
        CatchCtlInterrupt();
        if (c.interrupted)
            std::raise(SIGINT); // as if Ctrl+C came during the first sample
        const int status = run(1, "bias", c.arguments);
        ResetCtlInterrupt();
        EXPECT_EQ(status, c.status) << c.name << ' ' << errText.toStdString();
        EXPECT_TRUE(outText.contains("proposed\t")) << c.name;
        const auto writes = writesOut();
        ASSERT_GE(writes.size(), 4u) << c.name;
        // GYRO_OFST (0x14, 0x15) cleared high byte first, then the end of the run.
        EXPECT_EQ(writes[0], 0x9500) << c.name;
        EXPECT_EQ(writes[1], 0x9400) << c.name;
        if (c.restored) {
            EXPECT_EQ(writes, (std::vector<std::uint16_t>{0x9500, 0x9400, 0x95FE, 0x94EF})) << c.name;
            EXPECT_EQ(sim.sensor().registerWord(0x14) & 0x0FFF, 0x0EEF) << c.name;
            EXPECT_FALSE(outText.contains("GYRO_OFST")) << c.name; // stdout keeps the run's lines only
        } else {
            EXPECT_NE(writes[2], 0x95FE) << c.name; // the proposal, not the old offset
        }
    }
}

// Commands that convert rates read the range first, and a write that can change
// it reads it back: the scale is that of the range the sensor holds.
TEST_F(CtlConfig, RateCommandsScaleForTheRangeTheSensorHolds)
{
    struct Case {
        QString command;
        QStringList arguments;
        float scale;
    };
    const Case cases[] = {
        {"bias", {"0.05"}, 0.03663f},               // Sens_Avg 0x0201: 160 deg/s
        {"alarms", {}, 0.03663f},                   // gyro alarm levels are in deg/s
        {"write", {"Command", "2"}, 0.07326f},      // factory restore: 0x0402, 320 deg/s
        {"write", {"Sens_Avg", "0102"}, 0.018315f}, // 80 deg/s
        {"filter", {"--range", "80"}, 0.018315f},
    };
    for (const Case& c : cases) {
        sim.sensor().setRegisterWord(0x38, 0x0201);
        g.Reg[Idx_Gyro_Out].RegScale = 0.07326f; // a fresh gyroctl's scale before any read
        EXPECT_EQ(run(1, c.command, c.arguments), ExitOk) << c.command.toStdString() << errText.toStdString();
        EXPECT_EQ(g.Reg[Idx_Gyro_Out].RegScale, c.scale) << c.command.toStdString();
    }
}

TEST_F(CtlConfig, ASilentCardIsATransportFailure)
{
    sim.usb().detachCard(0);
    EXPECT_EQ(run(2, "rate", {"256"}), ExitTransportFailed);
    EXPECT_TRUE(outText.isEmpty());
}
