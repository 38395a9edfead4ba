#include "CtlFixture.h"
#include "Failure.h"

#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>

using namespace gyro;

namespace {

struct Ctl : test::CtlFixture {
    int run(std::int16_t interfaceType, const QString& command, const QStringList& arguments = {})
    {
        g.InterfaceType = interfaceType;
        return runCommand(command, arguments);
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

TEST_F(Ctl, AWarningFromBeforeTheCommandDoesNotFailIt)
{
    // A settings-file warning given at start-up is not a failure of the command.
    ui.tell(Failure{QStringLiteral("interface settings"),
                    QStringLiteral("Port Address in CommPort.cfg is not a parallel port's base address"),
                    {},
                    g.AppTitle,
                    MsgIcon::Exclamation});
    const std::vector<std::pair<QString, QStringList>> commands = {
        {"read", {"Supply_Out"}}, {"dump", {}}, {"rate", {}}, {"alarms", {}}, {"offset", {}}, {"flash", {}}};
    for (const auto& [command, arguments] : commands)
        EXPECT_EQ(run(2, command, arguments), ExitOk) << command.toStdString();
}

TEST_F(Ctl, GyroOutIsScaledForTheRangeTheSensorHolds)
{
    // Range bits 0x100, the narrowest: 0.018315 deg/s a count, a quarter of the widest.
    sim.sensor().setRegisterWord(0x38, 0x0104);
    ASSERT_EQ(run(2, "read", {"Gyro_Out"}), ExitOk) << errText.toStdString();
    const QStringList fields = outText.trimmed().split('\t');
    ASSERT_EQ(fields.size(), 3);
    const int count = static_cast<std::int16_t>(fields[1].toUShort(nullptr, 16));
    EXPECT_NEAR(fields[2].toDouble(), count * 0.018315, 1e-3);

    outText.clear();
    ASSERT_EQ(run(2, "dump"), ExitOk) << errText.toStdString();
    EXPECT_FLOAT_EQ(g.GyroScale, 0.018315f);
}

// Each row a fresh gyroctl run: the interface (CommPort.cfg's number), the
// command, what was set up on the simulated platform, then the exit status, the
// whole of standard output (a pattern; "" for nothing) and a text standard error
// must hold. A usage error and a port that cannot be used send no frame.
TEST(CtlOutcome, ExitStatusStandardOutputAndStandardError)
{
    using Setup = std::function<void(test::CtlRun&)>;
    struct Row {
        const char* name;
        std::int16_t interfaceType;
        QString command;
        QStringList arguments;
        Setup setup;
        int exit;
        QString stdoutPattern;
        QString stderrHolds;
    };
    const Setup nothing = [](test::CtlRun&) {};
    const Row rows[] = {
        {"unknown register", 2, "read", {"Gyro_Out", "Gyro_Ou"}, nothing, ExitUsage, "", "Gyro_Ou'"},
        {"bad hex", 2, "write", {"Smpl_Prd", "0G"}, nothing, ExitUsage, "", "0G"},
        {"read-only register written", 2, "write", {"Gyro_Out", "0"}, nothing, ExitUsage, "", "Gyro_Out"},
        {"write-only register read", 2, "read", {"Command"}, nothing, ExitUsage, "", "Command"},
        {"no interface", 0, "dump", {}, nothing, ExitUsage, "", "--interface usb"},
        {"no port address",
         1,
         "dump",
         {},
         [](test::CtlRun& r) { r.g.PortAddress = 0; },
         ExitUsage,
         "",
         "--port"},
        {"no card",
         2,
         "read",
         {"Gyro_Out"},
         [](test::CtlRun& r) { r.sim.usb().detachCard(0); },
         ExitTransportFailed,
         "",
         "No USB Buffers Found, Please Verify Setup and Restart"},
        {"no card to list",
         2,
         "find-usb",
         {},
         [](test::CtlRun& r) { r.sim.usb().detachCard(0); },
         ExitTransportFailed,
         "",
         "No USB Buffers Found, Please Verify Setup and Restart"},
        // Sens_Avg (for the rate scale) and Gyro_Out go through; the card then goes
        // silent: the card's failure, then the register that gave no answer.
        {"a register with no answer",
         2,
         "read",
         {"Gyro_Out", "Temp_Out"},
         [](test::CtlRun& r) { r.sim.usb().stopAnsweringAfter(0, 2); },
         ExitTransportFailed,
         R"(Gyro_Out\t[0-9A-F]{4}\t\S+\n)",
         "gyroctl: Error Writing SPI\ngyroctl: no answer when reading Temp_Out"},
        // A dump with holes is no register table: nothing on stdout.
        {"a dump with a hole",
         2,
         "dump",
         {},
         [](test::CtlRun& r) { r.sim.usb().stopAnsweringAfter(0, 10); },
         ExitTransportFailed,
         "",
         "Error Writing SPI"},
        // The write went out; the range it holds is told, and the write succeeded.
        {"a range Sens_Avg cannot hold",
         2,
         "write",
         {"Sens_Avg", "0300"},
         nothing,
         ExitOk,
         "",
         "AvgBits = 768"},
        {"an unclaimable port",
         1,
         "read",
         {"Gyro_Out"},
         [](test::CtlRun& r) { r.sim.parallelPort().setUnclaimable(true); },
         ExitTransportFailed,
         "",
         "could not be claimed"},
        {"no port at the address",
         1,
         "read",
         {"Gyro_Out"},
         [](test::CtlRun& r) { r.sim.parallelPort().setBaseAddress(0x278); },
         ExitTransportFailed,
         "",
         "No parallel port at address 378"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::CtlRun run;
        run.g.InterfaceType = row.interfaceType;
        row.setup(run);
        EXPECT_EQ(run.runCommand(row.command, row.arguments), row.exit) << run.errText.toStdString();
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(row.stdoutPattern))
                        .match(run.outText)
                        .hasMatch())
            << run.outText.toStdString();
        EXPECT_TRUE(run.errText.contains(row.stderrHolds)) << run.errText.toStdString();
        const bool sendsNothing = row.exit == ExitUsage || row.interfaceType == 1;
        if (sendsNothing) {
            EXPECT_TRUE(run.framesOut().empty());
            EXPECT_TRUE(run.sim.usb().pipe0Requests().empty());
        }
    }
    // The write of the range went out: 0x03 to 0x39 first.
    test::CtlRun range;
    range.g.InterfaceType = 2;
    ASSERT_EQ(range.runCommand("write", {"Sens_Avg", "0300"}), ExitOk);
    EXPECT_EQ(range.framesOut().front(), 0xB903);
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

// The command line's host: one line per message or failure on standard error; only
// failures count towards the exit status, including one told before.
TEST(ConsoleHost, FailuresGoToStandardErrorOnOneLineAndAreCounted)
{
    QString errText;
    QTextStream err(&errText);
    ConsoleUiHost ui(err);
    ui.message(QStringLiteral("first\r\nsecond"), MsgButtons::Ok, MsgIcon::None, {});
    EXPECT_EQ(ui.failureCount(), 0);
    Failure failure{
        QStringLiteral("USB transfer"), QStringLiteral("Error Writing SPI"), QStringLiteral("unplugged"), {}};
    ui.tell(failure);
    failure.toldBefore = true;
    ui.tell(failure);
    EXPECT_EQ(ui.failureCount(), 2);
    EXPECT_EQ(errText, "gyroctl: first / second\ngyroctl: Error Writing SPI / unplugged\n");
}
