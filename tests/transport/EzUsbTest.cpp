// Finding cards and the driver calls, over the simulated card bus.
#include "EzUsb.h"
#include "FailureShown.h"
#include "UsbCardFixture.h"

#include <gtest/gtest.h>

#include <functional>

using namespace gyro;
using gyro::test::FailureShown;
using gyro::test::UsbCardFixture;

namespace {

const QString NoBuffers = QStringLiteral("No USB Buffers Found, Please Verify Setup and Restart");
const QString NoValidBuffers = QStringLiteral("No Valid USB Buffers Found, Please Verify Setup and Restart");
const QString BoardInfoError = QStringLiteral("Error getting Board Info");

sim::SimUsbCardConfig mcpCard()
{
    sim::SimUsbCardConfig config;
    config.productId = 0x3A62;
    config.descriptor1 = QStringLiteral("Maker");
    config.descriptor2 = QStringLiteral("MCP Card");
    config.firmwareMajor = 1;
    config.firmwareMinor = 7;
    return config;
}

} // namespace

TEST(EzUsbDiscovery, TwoCardsChooseTheFirstAndRecordBoth)
{
    UsbCardFixture f;
    f.bus.attachCard(1);
    f.bus.attachCard(3, mcpCard());
    EXPECT_TRUE(FindUsbBoards(f.g).ok());

    EXPECT_EQ(f.g.UsbBoardCount, 2);
    EXPECT_EQ(f.g.UsbBoardIndex, 1);
    EXPECT_TRUE(f.g.UsbCardReady);
    EXPECT_EQ(f.g.SelectedUsbBoard.DeviceName, "Ezusb-1");

    const UsbBoardInfo& first = f.g.UsbBoards[1];
    EXPECT_TRUE(first.Present);
    EXPECT_EQ(first.BoardType, "FIFO4");
    EXPECT_EQ(first.Descriptor1, "USB SPI Card");
    EXPECT_EQ(first.Descriptor2, "SPI Interface");
    EXPECT_FLOAT_EQ(first.FirmwareRevision, 2.3f); // major 2 + minor 3 / 10

    const UsbBoardInfo& second = f.g.UsbBoards[3];
    EXPECT_TRUE(second.Present);
    EXPECT_EQ(second.DeviceName, "Ezusb-3");
    EXPECT_EQ(second.BoardType, "MCP");
    EXPECT_EQ(second.Descriptor1, "Maker");
    EXPECT_EQ(second.Descriptor2, "MCP Card");
    EXPECT_FLOAT_EQ(second.FirmwareRevision, 1.7f);

    for (int empty : {0, 2}) {
        EXPECT_FALSE(f.g.UsbBoards[static_cast<std::size_t>(empty)].Present);
        EXPECT_TRUE(f.g.UsbBoards[static_cast<std::size_t>(empty)].DeviceName.isEmpty());
    }
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(EzUsbDiscovery, PipeThreeTellsTheSpeedAndTheWordDelay)
{
    struct Case {
        std::uint16_t maxPacket;
        const char* version;
        int wordDelay;
    };
    // Up to 64 bytes is a full-speed card, beyond that a high-speed one.
    for (const Case c : {Case{64, "1.1", 35}, Case{512, "2", 10}, Case{8, "1.1", 35}, Case{65, "2", 10}}) {
        UsbCardFixture f;
        sim::SimUsbCardConfig config;
        config.pipe3MaxPacket = c.maxPacket;
        f.bus.attachCard(0, config);
        EXPECT_TRUE(FindUsbBoards(f.g).ok());
        EXPECT_EQ(f.g.SelectedUsbBoard.UsbVersion, c.version) << c.maxPacket;
        EXPECT_EQ(f.g.UsbWordDelay, c.wordDelay) << c.maxPacket;
    }
}

TEST(EzUsbDiscovery, FailedVersionRequestCountsTheCardButLeavesNoneValid)
{
    UsbCardFixture f;
    f.bus.attachCard(2);
    f.bus.failVersionRequest(2);
    const Outcome search = FindUsbBoards(f.g);

    EXPECT_EQ(FailureShown(search), BoardInfoError + "\n\n" + NoValidBuffers);
    EXPECT_EQ(search.failure().title, f.g.AppTitle);
    EXPECT_EQ(f.g.UsbBoardCount, 1);
    EXPECT_FALSE(f.g.UsbBoards[2].Present);
    EXPECT_EQ(f.g.UsbBoards[2].DeviceName, "Ezusb-2");
    EXPECT_FALSE(f.g.UsbCardReady);
    EXPECT_EQ(f.g.UsbBoardIndex, -1);
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(EzUsbDiscovery, AnyUnreadableBoardInfoIsReported)
{
    // Strings, version answer and pipe table each make the information unreadable.
    const std::vector<std::pair<const char*, std::function<void(sim::SimUsbBus&)>>> faults{
        {"strings", [](sim::SimUsbBus& b) { b.failRequests(0, EzUsbDriver::IoctlGetStringDescriptor); }},
        {"answer pipe", [](sim::SimUsbBus& b) { b.failPipe(0, 1); }},
        {"pipe table", [](sim::SimUsbBus& b) { b.failRequests(0, EzUsbDriver::IoctlGetPipeInfo); }},
    };
    for (const auto& [name, fault] : faults) {
        UsbCardFixture f;
        f.bus.attachCard(0);
        fault(f.bus);
        EXPECT_EQ(FailureShown(FindUsbBoards(f.g)), BoardInfoError + "\n\n" + NoValidBuffers) << name;
        EXPECT_EQ(f.g.UsbBoardCount, 1) << name;
        EXPECT_FALSE(f.g.UsbCardReady) << name;
        EXPECT_TRUE(f.everyOpenClosed()) << name;
    }
}

TEST(EzUsbDiscovery, NoCardOrUnknownCardsFindNothing)
{
    UsbCardFixture none;
    EXPECT_EQ(FailureShown(FindUsbBoards(none.g)), NoBuffers);
    EXPECT_EQ(none.g.UsbBoardCount, 0);
    EXPECT_FALSE(none.g.UsbCardReady);

    UsbCardFixture unknown;
    sim::SimUsbCardConfig otherVendor;
    otherVendor.vendorId = 0x2C7C;
    sim::SimUsbCardConfig otherProduct;
    otherProduct.productId = 0x3A52;
    unknown.bus.attachCard(0, otherVendor);
    unknown.bus.attachCard(1, otherProduct);
    unknown.bus.attachCard(2);
    unknown.bus.failRequests(2, EzUsbDriver::IoctlGetDeviceDescriptor); // reads as no card
    EXPECT_EQ(FailureShown(FindUsbBoards(unknown.g)), NoBuffers);
    EXPECT_EQ(unknown.g.UsbBoardCount, 0);
    EXPECT_TRUE(unknown.g.UsbBoards[0].DeviceName.isEmpty());
    // Each was opened and closed, also when it was not recognised.
    for (int slot : {0, 1, 2})
        EXPECT_EQ(unknown.bus.openCount(slot), 1) << slot;
    EXPECT_TRUE(unknown.everyOpenClosed());
}

TEST(EzUsbDiscovery, ARescanForgetsAnUnpluggedCard)
{
    UsbCardFixture f;
    f.bus.attachCard(0);
    f.bus.attachCard(1);
    EXPECT_TRUE(FindUsbBoards(f.g).ok());
    f.bus.detachCard(0);
    EXPECT_TRUE(FindUsbBoards(f.g).ok());
    EXPECT_EQ(f.g.UsbBoardCount, 1);
    EXPECT_FALSE(f.g.UsbBoards[0].Present);
    EXPECT_TRUE(f.g.UsbBoards[0].Descriptor1.isEmpty());
    EXPECT_EQ(f.g.UsbBoardIndex, 1);
}

TEST(EzUsbDriverCalls, RequestLayouts)
{
    UsbCardFixture f;
    f.bus.attachCard(0);
    ScanUsbBoards(f.g);
    const auto& requests = f.usb.requests;

    // Device descriptor: a zeroed 147-byte buffer, which is both input and output.
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].code, 0x222004u);
    EXPECT_EQ(requests[0].input.size(), 147u);
    EXPECT_EQ(requests[0].output, std::vector<std::uint8_t>(147, 0));

    // String descriptor 1: first the 4-byte head, then as many bytes as its length
    // byte says: 2 + 2 x 12 characters of "USB SPI Card" = 26.
    std::vector<const gyro::test::RecordingUsbDriver::Request*> strings;
    for (const auto& r : requests)
        if (r.code == 0x222044)
            strings.push_back(&r);
    ASSERT_EQ(strings.size(), 4u);
    EXPECT_EQ(strings[0]->input, std::vector<std::uint8_t>({1, 0, 0, 0, 0x1B}));
    EXPECT_EQ(strings[0]->output.size(), 4u);
    EXPECT_EQ(strings[1]->input, std::vector<std::uint8_t>({1, 0, 0, 0, 0x1B}));
    EXPECT_EQ(strings[1]->output.size(), 26u);
    EXPECT_EQ(strings[2]->input, std::vector<std::uint8_t>({2, 0, 0, 0, 0x1B}));

    // Version: pipe 0 then pipe 1, the pipe number as 4 little-endian bytes.
    std::vector<const gyro::test::RecordingUsbDriver::Request*> transfers;
    for (const auto& r : requests)
        if (r.code == 0x222051)
            transfers.push_back(&r);
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_EQ(transfers[0]->input, std::vector<std::uint8_t>({0, 0, 0, 0}));
    EXPECT_EQ(transfers[0]->output, std::vector<std::uint8_t>({0x00}));
    EXPECT_EQ(transfers[1]->input, std::vector<std::uint8_t>({1, 0, 0, 0}));
    EXPECT_EQ(transfers[1]->output.size(), 2u);

    // Pipe table: 356 bytes.
    EXPECT_EQ(requests.back().code, 0x222000u);
    EXPECT_EQ(requests.back().output.size(), 356u);
}

TEST(EzUsbDriverCalls, StringDescriptorTakesTheLowBytesOfItsCharacters)
{
    UsbCardFixture f;
    sim::SimUsbCardConfig config;
    config.descriptor1 = QStringLiteral("WXYZ"); // length byte 2 + 2 x 4 = 10
    // U+0141 and U+2153 keep only their low bytes 0x41 'A' and 0x53 'S'.
    config.descriptor2 = QString::fromUtf16(u"\u0141\u2153");
    f.bus.attachCard(0, config);
    const auto handle = OpenUsbDevice(f.g, QStringLiteral("Ezusb-0"));
    ASSERT_GT(handle, 0);
    EXPECT_EQ(GetUsbStringDescriptor(f.g, handle, 1), "WXYZ");
    EXPECT_EQ(f.usb.requests.back().output.size(), 10u);
    EXPECT_EQ(GetUsbStringDescriptor(f.g, handle, 2), "AS");
    EXPECT_EQ(GetUsbStringDescriptor(f.g, handle, 7), "None"); // the card has no string 7
    EXPECT_EQ(GetUsbStringDescriptor(f.g, 0, 1), "None");
    CloseUsbDevice(f.g, handle);
}

TEST(EzUsbDriverCalls, PipeCallsOnClosedHandlesAndBadPipes)
{
    UsbCardFixture f;
    f.bus.attachCard(0);
    std::array<std::uint8_t, 4> buffer{};
    std::int32_t length = 4;
    EXPECT_EQ(UsbPipeTransfer(f.g, 0, 0, buffer, length), -2);
    EXPECT_TRUE(f.usb.requests.empty());
    EXPECT_EQ(GetUsbPipeMaxPacket(f.g, 0, 3), 0);

    const auto handle = OpenUsbDevice(f.g, QStringLiteral("Ezusb-0"));
    EXPECT_EQ(GetUsbPipeMaxPacket(f.g, handle, 3), 512);
    EXPECT_EQ(GetUsbPipeMaxPacket(f.g, handle, 17), 0); // the table has entries 0..16
    EXPECT_EQ(GetUsbPipeMaxPacket(f.g, handle, 16), 0); // an entry the card does not use
    EXPECT_EQ(GetUsbPipeMaxPacket(f.g, handle, -1), 0);
    // A length beyond the buffer moves no more than the buffer holds.
    length = 99;
    buffer = {1, 0, 0, 0};
    EXPECT_EQ(UsbPipeTransfer(f.g, handle, 0, std::span(buffer).first(1), length), 1);
    EXPECT_EQ(length, 1);
    CloseUsbDevice(f.g, handle);
    EXPECT_TRUE(f.everyOpenClosed());
}
