// The register access layer on the native backend set (libusb) against emulated
// cards: discovery, the card's settings, reads and writes, the alternate-setting
// choice, a card held by another program, and a card pulled out and plugged in again.
#include "BackendTable.h"
#include "EmulatedUsbBus.h"
#include "EzUsb.h"
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "MustRead.h"
#include "NativeProgram.h"
#include "RealClock.h"
#include "RecordingUiHost.h"
#include "RegisterAccess.h"
#include "RegisterMap.h"

#include <gtest/gtest.h>

#include <memory>

namespace gyro::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int GyroOutAddress = 0x04;

struct LayoutCase {
    const char* name;
    EmulatedCardLayout layout;
    const char* usbVersion;
    int wordDelay;
};

EmulatedCardLayout layoutOf(bool highSpeed, EndpointPlacement placement)
{
    EmulatedCardLayout layout;
    layout.highSpeed = highSpeed;
    layout.placement = placement;
    return layout;
}

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class CardLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

// Every layout: found with its names, strings, revision and speed; the word delay for
// its speed reaches the card; a read and a write cross it as the card's protocol says.
TEST_P(CardLayoutTest, FoundReadAndWrittenThroughLibusb)
{
    const LayoutCase& c = GetParam();
    EmulatedUsbBus bus;
    EmulatedUsbCard card(c.layout);
    bus.plug(card, 1);
    NativeProgram program;
    GyroState& g = *program.g;

    ASSERT_TRUE(TellOpening(g.ui, OpenUsbCard(g))) << program.ui.texts().join('\n').toStdString();
    EXPECT_TRUE(program.ui.messages.empty()) << program.ui.texts().join('\n').toStdString();
    const UsbBoardInfo& board = g.SelectedUsbBoard;
    EXPECT_EQ(board.DeviceName, QStringLiteral("Ezusb-0"));
    EXPECT_EQ(board.BoardType, QStringLiteral("FIFO4"));
    EXPECT_EQ(board.Descriptor1, QStringLiteral("USB SPI Card"));
    EXPECT_EQ(board.Descriptor2, QStringLiteral("SPI Interface"));
    EXPECT_FLOAT_EQ(board.FirmwareRevision, 2.3f);
    EXPECT_EQ(board.UsbVersion, QString::fromLatin1(c.usbVersion));
    EXPECT_EQ(g.UsbWordDelay, c.wordDelay);
    EXPECT_EQ(card.wordDelay(), c.wordDelay);
    EXPECT_EQ(card.altSetting(), UsableAltSetting(c.layout));

    // A read frame 0x0400 (address 4 x 256) goes out twice; the second answer is the
    // register: 0xBFFE, new-data flag and 14 bits 0x3FFE, which is -2.
    card.setSensorWord(GyroOutAddress, 0xBFFE);
    EXPECT_EQ(test::MustRead(g, Idx_Gyro_Out).RegWord, -2);
    const std::uint8_t transfer = g.UsbSpiPolarity ? 13 : 14;
    EXPECT_EQ(card.requests().back(), (Bytes{transfer, 1, 2, 0x04, 0x00, 0x04, 0x00}));

    // Smpl_Prd (0x36) = 0x000A: the high byte to 0x37 first (0x8000 + 0x37 x 256 = 0xB700),
    // then 0x0A to 0x36 (0xB60A).
    ASSERT_TRUE(WriteRegister(g, Idx_Smpl_Prd, 0x0A));
    const std::vector<std::uint16_t> frames = card.sensorFramesOut();
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[frames.size() - 2], 0xB700);
    EXPECT_EQ(frames.back(), 0xB60A);
    EXPECT_TRUE(program.ui.messages.empty());
    EXPECT_TRUE(card.violations().empty()) << card.violations().front();
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CardLayoutTest,
    ::testing::Values(LayoutCase{"HighSpeed", layoutOf(true, EndpointPlacement::Setting0), "2", 10},
                      LayoutCase{"FullSpeed", layoutOf(false, EndpointPlacement::Setting0), "1.1", 35},
                      LayoutCase{"EndpointsInSetting1", layoutOf(true, EndpointPlacement::Setting1Only), "2",
                                 10},
                      LayoutCase{"ZeroBandwidthSetting0",
                                 layoutOf(true, EndpointPlacement::Setting0ZeroBandwidth), "2", 10}),
    [](const ::testing::TestParamInfo<LayoutCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace gyro::test

namespace gyro::test {
namespace {

TEST(NativeBackendCards, TwoCardsAreNamedByPortAndTheFirstIsChosen)
{
    EmulatedUsbBus bus;
    EmulatedCardLayout fifo4;
    fifo4.descriptor1 = "FIFO4 Card";
    EmulatedCardLayout mcp;
    mcp.productId = 0x3A62;
    mcp.descriptor1 = "MCP Card";
    mcp.highSpeed = false;
    EmulatedUsbCard second(fifo4);
    EmulatedUsbCard first(mcp);
    bus.plug(second, 2); // plugged first, but in the later port
    bus.plug(first, 1);
    NativeProgram program;
    GyroState& g = *program.g;

    ASSERT_TRUE(TellOpening(g.ui, OpenUsbCard(g))) << program.ui.texts().join('\n').toStdString();
    EXPECT_EQ(g.UsbBoardCount, 2);
    EXPECT_EQ(g.UsbBoardIndex, 0);
    EXPECT_EQ(g.UsbBoards[0].BoardType, QStringLiteral("MCP"));
    EXPECT_EQ(g.UsbBoards[0].Descriptor1, QStringLiteral("MCP Card"));
    EXPECT_EQ(g.UsbBoards[0].UsbVersion, QStringLiteral("1.1"));
    EXPECT_EQ(g.UsbBoards[1].DeviceName, QStringLiteral("Ezusb-1"));
    EXPECT_EQ(g.UsbBoards[1].BoardType, QStringLiteral("FIFO4"));
    EXPECT_EQ(g.UsbBoards[1].UsbVersion, QStringLiteral("2"));

    // Register traffic goes to the chosen card only.
    const auto before = second.requests().size();
    first.setSensorWord(GyroOutAddress, 0x8005);
    EXPECT_EQ(test::MustRead(g, Idx_Gyro_Out).RegWord, 5);
    EXPECT_EQ(second.requests().size(), before);
    EXPECT_TRUE(first.violations().empty());
    EXPECT_TRUE(second.violations().empty());
}

TEST(NativeBackendCards, CardHeldByAnotherProgramIsReportedAndUsableOnceFreed)
{
    EmulatedUsbBus bus;
    EmulatedUsbCard card;
    card.setFaults({.claimedElsewhere = true});
    bus.plug(card, 1);
    NativeProgram program;
    GyroState& g = *program.g;

    EXPECT_FALSE(TellOpening(g.ui, OpenUsbCard(g)));
    ASSERT_EQ(program.ui.messages.size(), 1u);
    const QString text = program.ui.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("No USB Buffers Found, Please Verify Setup and Restart\n\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("USB card Ezusb-0 is in use by another program")))
        << text.toStdString();
    EXPECT_TRUE(card.requests().empty());

    // The other program lets go: the next search takes the card, no restart needed.
    card.setFaults({});
    program.ui.clear();
    EXPECT_TRUE(TellOpening(g.ui, OpenUsbCard(g))) << program.ui.texts().join('\n').toStdString();
    EXPECT_TRUE(card.claimed());
}

TEST(NativeBackendCards, CardPulledBetweenReadsIsFoundAgainAfterReplug)
{
    EmulatedUsbBus bus;
    EmulatedUsbCard card;
    bus.plug(card, 1);
    NativeProgram program;
    GyroState& g = *program.g;
    ASSERT_TRUE(TellOpening(g.ui, OpenUsbCard(g)));
    card.setSensorWord(GyroOutAddress, 0x8007);
    EXPECT_EQ(test::MustRead(g, Idx_Gyro_Out).RegWord, 7);

    bus.unplug(card);
    EXPECT_TRUE(test::NoAnswerFrom(g, Idx_Gyro_Out));
    EXPECT_FALSE(g.UsbCardReady);
    EXPECT_EQ(program.ui.texts(), QStringList{QStringLiteral("Error Writing SPI")});
    EXPECT_FALSE(TellOpening(g.ui, OpenUsbCard(g))); // nothing there while it is out

    bus.plug(card, 1); // back in the same socket, under a new address
    program.ui.clear();
    ASSERT_TRUE(TellOpening(g.ui, OpenUsbCard(g))) << program.ui.texts().join('\n').toStdString();
    EXPECT_EQ(g.SelectedUsbBoard.DeviceName, QStringLiteral("Ezusb-0"));
    card.setSensorWord(GyroOutAddress, 0x8009);
    EXPECT_EQ(test::MustRead(g, Idx_Gyro_Out).RegWord, 9);
    EXPECT_TRUE(program.ui.messages.empty());
    EXPECT_TRUE(card.violations().empty()) << card.violations().front();
}

// Pulled out and plugged in again while nothing used it: the program still holds
// the old device, yet the next search finds the card as it is now.
TEST(NativeBackendCards, CardRepluggedWhileIdleIsFoundByTheNextSearch)
{
    EmulatedUsbBus bus;
    EmulatedUsbCard card;
    bus.plug(card, 1);
    NativeProgram program;
    GyroState& g = *program.g;
    ASSERT_TRUE(TellOpening(g.ui, OpenUsbCard(g)));

    bus.unplug(card);
    bus.plug(card, 1);
    ASSERT_TRUE(TellOpening(g.ui, OpenUsbCard(g))) << program.ui.texts().join('\n').toStdString();
    card.setSensorWord(GyroOutAddress, 0x8003);
    EXPECT_EQ(test::MustRead(g, Idx_Gyro_Out).RegWord, 3);
    EXPECT_TRUE(program.ui.messages.empty()) << program.ui.texts().join('\n').toStdString();
    EXPECT_TRUE(card.violations().empty()) << card.violations().front();
}

} // namespace
} // namespace gyro::test
