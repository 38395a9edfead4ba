#include "CtlCommands.h"
#include "OsFamily.h"
#include "SimPlatform.h"

#include <gtest/gtest.h>

using namespace gyro;

namespace {

struct Ctl : ::testing::Test {
    sim::SimPlatform sim;
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    ConsoleUiHost ui{err};
    GyroState g{sim.platform(), ui};

    Ctl()
    {
        InitRegisterMap(g);
        g.OsName = OsFamilyName(sim.os().query());
        g.PortAddress = 0x378;
    }

    int run(std::int16_t interfaceType, const QString& command, const QStringList& arguments = {})
    {
        g.InterfaceType = interfaceType;
        CtlOptions options;
        options.command = command;
        options.arguments = arguments;
        return RunCtlCommand(options, g, ui, out, err);
    }

    std::vector<std::uint16_t> framesOut()
    {
        std::vector<std::uint16_t> frames;
        for (const auto& f : sim.sensor().trace())
            frames.push_back(f.out);
        return frames;
    }
};

// Gyro_Out is 14-bit two's complement: the printed word is the sign-extended count.
QString gyroWordOf(std::uint16_t raw)
{
    const int count = (raw & 0x1FFF) - (raw & 0x2000);
    return QStringLiteral("%1").arg(count & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TEST_F(Ctl, WriteOverUsbSendsHighThenLowByteFrames)
{
    EXPECT_EQ(run(2, "write", {"Smpl_Prd", "0A"}), ExitOk) << errText.toStdString();
    // Smpl_Prd lives at 0x36: high byte 0x00 to 0x37 (0x8000 + 0x37 * 256), then 0x0A to 0x36.
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xB700, 0xB60A}));
}

TEST_F(Ctl, ReadPrintsNameWordAndValueOnEitherInterface)
{
    for (const std::int16_t iface : {std::int16_t{2}, std::int16_t{1}}) {
        sim.sensor().clearTrace();
        outText.clear();
        ASSERT_EQ(run(iface, "read", {"Gyro_Out"}), ExitOk) << errText.toStdString();
        const auto& trace = sim.sensor().trace();
        // Sens_Avg first (0x38 x 256), for the rate scale; then Gyro_Out.
        ASSERT_EQ(trace.size(), 4u);
        EXPECT_EQ(trace[0].out, 0x3800);
        EXPECT_EQ(trace[2].out, 0x0400); // the read frame: address 0x04 x 256
        // USB sends the read frame twice; the parallel port clocks its answer in with 0x0000.
        EXPECT_EQ(trace[3].out, iface == 2 ? 0x0400 : 0x0000);
        const QStringList fields = outText.trimmed().split('\t');
        ASSERT_EQ(fields.size(), 3) << outText.toStdString();
        EXPECT_EQ(fields[0], "Gyro_Out");
        EXPECT_EQ(fields[1], gyroWordOf(trace[3].in));
    }
}

TEST_F(Ctl, DumpPrintsTheWholeTable)
{
    ASSERT_EQ(run(2, "dump"), ExitOk) << errText.toStdString();
    const QStringList lines = outText.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 27);
    EXPECT_EQ(lines[0], "Name\t\tAddr\thexValue\t   decValue");
    EXPECT_TRUE(lines[2].startsWith("Endurance    \t0000\t"));
    EXPECT_TRUE(lines[26].startsWith("Command    \t003E\t"));
}

TEST_F(Ctl, UsageErrorsTouchNoHardware)
{
    EXPECT_EQ(run(2, "read", {"Gyro_Out", "Gyro_Ou"}), ExitUsage);
    EXPECT_TRUE(errText.contains("Gyro_Ou'"));
    EXPECT_EQ(run(2, "write", {"Smpl_Prd", "0G"}), ExitUsage);
    EXPECT_EQ(run(2, "write", {"Gyro_Out", "0"}), ExitUsage); // read-only
    EXPECT_EQ(run(2, "read", {"Command"}), ExitUsage);        // write-only
    EXPECT_EQ(run(0, "dump"), ExitUsage);
    g.PortAddress = 0;
    EXPECT_EQ(run(1, "dump"), ExitUsage);
    EXPECT_TRUE(errText.contains("--port"));
    EXPECT_TRUE(framesOut().empty());
    EXPECT_TRUE(sim.usb().pipe0Requests().empty());
}

TEST_F(Ctl, MissingCardIsATransportFailure)
{
    sim.usb().detachCard(0);
    EXPECT_EQ(run(2, "read", {"Gyro_Out"}), ExitTransportFailed);
    EXPECT_TRUE(errText.contains("No USB Buffers Found, Please Verify Setup and Restart"));
    errText.clear();
    EXPECT_EQ(run(2, "find-usb"), ExitTransportFailed);
}

TEST_F(Ctl, FindUsbListsEveryCard)
{
    sim.usb().attachCard(2);
    ASSERT_EQ(run(2, "find-usb"), ExitOk) << errText.toStdString();
    const QStringList lines = outText.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Ezusb-0\tFIFO4\t"));
    EXPECT_TRUE(lines[1].startsWith("Ezusb-2\t"));
}
