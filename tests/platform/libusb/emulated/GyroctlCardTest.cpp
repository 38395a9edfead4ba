// gyroctl, unmodified and without --simulate, against emulated cards: what it prints,
// what it reports and its exit status for a working card and for each card fault.
#include "EmulatedUsbBus.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace gyro::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int GyroOutAddress = 0x04;
constexpr int TempOutAddress = 0x0C;

struct CtlRun {
    int exitCode = -1;
    QString out;
    QString err;
    double seconds = 0;
};

constexpr uid_t NobodyId = 65534;
constexpr int CannotBecomeNobody = 126;

// Runs gyroctl in an empty folder (no CommPort.cfg), in this process's environment,
// which carries the umockdev testbed; `asNobody` runs it as user nobody (root only).
CtlRun runGyroctl(const QStringList& arguments, bool asNobody = false)
{
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    QProcess process;
    process.setWorkingDirectory(folder.path());
    if (asNobody)
        process.setChildProcessModifier([] {
            if (setgid(NobodyId) != 0 || setuid(NobodyId) != 0)
                _exit(CannotBecomeNobody);
        });
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(GYROCTL_PATH), arguments);
    CtlRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("gyroctl did not finish in 30 s");
        return run;
    }
    run.seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

const QStringList ReadGyroOut{"--interface", "usb", "read", "Gyro_Out"};

struct CtlCardFixture : ::testing::Test {
    CtlCardFixture()
    {
        card.setSensorWord(GyroOutAddress, 0xBFFE); // new data, -2 counts
        card.setSensorWord(TempOutAddress, 0x8010); // new data, 16 counts
    }
    void TearDown() override
    {
        const auto violations = card.violations();
        EXPECT_TRUE(violations.empty()) << violations.front();
    }

    EmulatedUsbBus bus;
    EmulatedUsbCard card;
};

TEST_F(CtlCardFixture, FindsReadsAndWritesTheCard)
{
    bus.plug(card, 1);

    const CtlRun found = runGyroctl({"find-usb"});
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_EQ(found.out, QStringLiteral("Ezusb-0\tFIFO4\tUSB SPI Card\tSPI Interface\trev 2.3\tUSB 2\n"));
    EXPECT_TRUE(found.err.isEmpty()) << found.err.toStdString();

    // -2 counts of 0.07326 deg/s; 16 counts of 0.1454139 C above 25 C.
    const CtlRun read = runGyroctl({"--interface", "usb", "read", "Gyro_Out", "Temp_Out"});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out, QStringLiteral("Gyro_Out\tFFFE\t-0.14652\nTemp_Out\t0010\t27.32662\n"));
    EXPECT_EQ(card.requests().back(), (Bytes{13, 1, 2, 0x0C, 0x00, 0x0C, 0x00})); // "Pos" polarity by default

    const CtlRun written = runGyroctl({"--interface", "usb", "write", "Smpl_Prd", "0A"});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(written.out.isEmpty());
    const std::vector<std::uint16_t> frames = card.sensorFramesOut();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[frames.size() - 2], 0xB700); // high byte 0 to 0x37
    EXPECT_EQ(frames.back(), 0xB60A);             // 0x0A to 0x36
}

TEST(CtlCards, FindUsbListsBothProductsInPortOrder)
{
    EmulatedUsbBus bus;
    EmulatedCardLayout mcp;
    mcp.productId = 0x3A62;
    mcp.highSpeed = false;
    mcp.firmwareMinor = 7;
    EmulatedUsbCard fifo4Card;
    EmulatedUsbCard mcpCard(mcp);
    bus.plug(fifo4Card, 3);
    bus.plug(mcpCard, 1);

    const CtlRun found = runGyroctl({"find-usb"});
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_EQ(found.out, QStringLiteral("Ezusb-0\tMCP\tUSB SPI Card\tSPI Interface\trev 2.7\tUSB 1.1\n"
                                        "Ezusb-1\tFIFO4\tUSB SPI Card\tSPI Interface\trev 2.3\tUSB 2\n"));
}

struct FaultCase {
    const char* name;
    CardFaults faults;
    QStringList arguments;
    QString out;          // exactly
    QStringList messages; // each on stderr
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class CtlCardFaultTest : public CtlCardFixture, public ::testing::WithParamInterface<FaultCase> {};

// Every fault: exit status 1, the failure on stderr, no data line for what failed.
TEST_P(CtlCardFaultTest, ReportsTheFailureAndPrintsNoUnreadData)
{
    const FaultCase& c = GetParam();
    card.setFaults(c.faults);
    bus.plug(card, 1);

    const CtlRun run = runGyroctl(c.arguments);
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(run.out, c.out);
    for (const QString& message : c.messages)
        EXPECT_TRUE(run.err.contains(message)) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CtlCardFaultTest,
    ::testing::Values(
        FaultCase{
            "CardNeverAnswers",
            {.neverAnswers = true},
            {"find-usb"},
            {},
            {"Error getting Board Info", "No Valid USB Buffers Found, Please Verify Setup and Restart"}},
        FaultCase{"ShortAnswer", {.shortTransferAnswers = true}, ReadGyroOut, {}, {"Error Reading SPI"}},
        FaultCase{
            "OutEndpointStalls", {.stallTransferRequests = true}, ReadGyroOut, {}, {"Error Writing SPI"}},
        FaultCase{"ClaimedByAnotherProgram",
                  {.claimedElsewhere = true},
                  ReadGyroOut,
                  {},
                  {"No USB Buffers Found", "USB card Ezusb-0 is in use by another program"}},
        // Sens_Avg (for the rate scale) and Gyro_Out answer; Temp_Out finds the card gone.
        FaultCase{"UnpluggedBetweenReads",
                  {.unplugAfterTransfers = 2},
                  {"--interface", "usb", "read", "Gyro_Out", "Temp_Out"},
                  QStringLiteral("Gyro_Out\tFFFE\t-0.14652\n"),
                  {"Error Writing SPI"}}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

TEST_F(CtlCardFixture, StalledEndpointIsClearedForTheNextRun)
{
    card.setFaults({.stallTransferRequests = true});
    bus.plug(card, 1);
    EXPECT_EQ(runGyroctl(ReadGyroOut).exitCode, 1);
    EXPECT_GE(card.clearedHalts(), 1);

    card.setFaults({});
    const CtlRun run = runGyroctl(ReadGyroOut);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Gyro_Out\tFFFE\t-0.14652\n"));
}

// A user whom no udev rule lets open the card is told so, with the rule that would.
TEST_F(CtlCardFixture, CardWithoutPermissionIsReportedWithTheUdevRule)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to run gyroctl as another user";
    bus.plug(card, 1);
    bus.restrictToRoot(card);

    const CtlRun run = runGyroctl(ReadGyroOut, true);
    if (run.exitCode == CannotBecomeNobody)
        GTEST_SKIP() << "this system does not let root switch to user nobody";
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("No USB Buffers Found"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("USB card Ezusb-0 cannot be opened: no permission")))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral(R"(ATTR{idVendor}=="2c7b", TAG+="uaccess")")));
    EXPECT_TRUE(card.requests().empty());
}

// An answer that never comes is given up after the backend's 1 s transfer timeout:
// not sooner, and without hanging the program.
TEST_F(CtlCardFixture, UnansweredTransferTimesOutAfterOneSecond)
{
    card.setFaults({.loseTransferAnswers = true});
    bus.plug(card, 1);

    const CtlRun run = runGyroctl(ReadGyroOut);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QStringLiteral("Error Reading SPI"))) << run.err.toStdString();
    const std::vector<double> waits = card.abandonedAfterSeconds();
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_GE(waits[0], 0.99);
    EXPECT_LT(waits[0], 5.0);
    EXPECT_LT(run.seconds, 10.0);
}

} // namespace
} // namespace gyro::test
