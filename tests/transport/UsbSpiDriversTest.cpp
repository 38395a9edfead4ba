// The card operations over the simulated card: request bytes, answers, failures.
#include "UsbSpiDrivers.h"
#include "FailureShown.h"
#include "UsbCardFixture.h"

#include <gtest/gtest.h>

using namespace gyro;
using gyro::test::FailureShown;
using gyro::test::ReadyCardFixture;
using gyro::test::RecordingTrace;
using gyro::test::TracedFrame;
using Bytes = std::vector<std::uint8_t>;

TEST(UsbTransfer, SendsTheWordsBigEndianAndReturnsTheAnswers)
{
    ReadyCardFixture f;
    UsbTransferWords words;
    RecordingTrace trace;
    f.g.spiTrace = &trace;
    f.sensor.answers = {0x1234, 0xBEEF};
    words.UsbTxWords[1] = 0x0400;
    words.UsbTxWords[2] = 0x0400;
    EXPECT_TRUE(UsbTransfer(f.g, words, 2).ok());

    // Command 13 (polarity "Pos"), channel 1, two words, each high byte first.
    EXPECT_EQ(f.requestBytes(), std::vector<Bytes>({{13, 1, 2, 0x04, 0x00, 0x04, 0x00}}));
    EXPECT_EQ(f.sensor.frames, std::vector<std::uint16_t>({0x0400, 0x0400}));
    EXPECT_EQ(words.UsbRxWords[1], 0x1234);
    EXPECT_EQ(words.UsbRxWords[2], 0xBEEF); // answer bytes 2, 3
    EXPECT_EQ(words.UsbWordCount, 2);
    EXPECT_EQ(trace.frames, std::vector<TracedFrame>(
                                {{SpiInterface::Usb, 0x0400, 0x1234}, {SpiInterface::Usb, 0x0400, 0xBEEF}}));
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(UsbTransfer, PolarityChannelAndWordBits)
{
    ReadyCardFixture f;
    UsbTransferWords words;
    f.g.UsbSpiPolarity = false; // "Neg": command 14
    f.g.UsbSpiChannel = 0;      // below 1 becomes 1
    words.UsbTxWords[1] = 0xFF12;
    words.UsbTxWords[2] = 0x3ABCD; // only bits 15..0 go out
    EXPECT_TRUE(UsbTransfer(f.g, words, 2).ok());
    EXPECT_EQ(f.g.UsbSpiChannel, 1);
    f.g.UsbSpiChannel = 9; // above 5 becomes 5, where nothing is connected
    EXPECT_TRUE(UsbTransfer(f.g, words, 1).ok());
    EXPECT_EQ(f.g.UsbSpiChannel, 5);

    EXPECT_EQ(f.requestBytes(),
              std::vector<Bytes>({{14, 1, 2, 0xFF, 0x12, 0xAB, 0xCD}, {14, 5, 1, 0xFF, 0x12}}));
    EXPECT_EQ(words.UsbRxWords[1], 0xFFFF); // a floating data line reads all ones
}

TEST(UsbTransfer, SixteenWordsFillTheWholeRequest)
{
    ReadyCardFixture f;
    UsbTransferWords words;
    Bytes expected{13, 1, 16};
    for (int i = 1; i <= 16; ++i) {
        words.UsbTxWords[static_cast<std::size_t>(i)] = 0x0100 * i + i;
        f.sensor.answers.push_back(static_cast<std::uint16_t>(0xA000 + i));
        expected.push_back(static_cast<std::uint8_t>(i));
        expected.push_back(static_cast<std::uint8_t>(i));
    }
    EXPECT_TRUE(UsbTransfer(f.g, words, 16).ok());
    ASSERT_EQ(f.requestBytes().size(), 1u);
    EXPECT_EQ(f.requestBytes()[0], expected); // 2 x 16 + 3 = 35 bytes
    for (int i = 1; i <= 16; ++i)
        EXPECT_EQ(words.UsbRxWords[static_cast<std::size_t>(i)], 0xA000 + i);
}

TEST(UsbTransfer, CountsOutsideOneToSixteenAreRefusedWithoutTraffic)
{
    ReadyCardFixture f;
    UsbTransferWords words;
    words.UsbWordCount = 3;
    f.g.UsbSpiChannel = 9;
    const int opens = f.bus.openCount(0);
    for (int count : {17, 0, -1, 255}) {
        EXPECT_FALSE(UsbTransfer(f.g, words, count).ok()) << count;
        EXPECT_EQ(f.bus.openCount(0), opens) << count;
    }
    EXPECT_TRUE(f.bus.pipe0Requests().empty());
    EXPECT_EQ(words.UsbWordCount, 3);
    EXPECT_EQ(f.g.UsbSpiChannel, 9);
    EXPECT_TRUE(f.g.UsbCardReady);
}

TEST(UsbTransfer, WriteFailureLeavesTheCardNotReadyAndLaterTransfersSilent)
{
    ReadyCardFixture f;
    UsbTransferWords words;
    RecordingTrace trace;
    f.g.spiTrace = &trace;
    words.UsbRxWords[1] = 0x1111;
    words.UsbRxWords[2] = 0x2222;
    f.bus.stopAnswering(0);
    const Outcome failed = UsbTransfer(f.g, words, 2);
    EXPECT_EQ(FailureShown(failed), "Error Writing SPI");
    EXPECT_EQ(failed.failure().title, f.g.AppTitle);
    EXPECT_FALSE(failed.failure().toldBefore);
    EXPECT_FALSE(f.g.UsbCardReady);

    // The second transfer neither opens the card nor sends nor reports anything.
    const int opens = f.bus.openCount(0);
    const int failedRequests = f.bus.failedRequests();
    f.bus.setAnswering(0, true);
    const Outcome again = UsbTransfer(f.g, words, 2);
    ASSERT_FALSE(again.ok());
    EXPECT_TRUE(again.failure().toldBefore);
    EXPECT_EQ(f.bus.openCount(0), opens);
    EXPECT_EQ(f.bus.failedRequests(), failedRequests);
    EXPECT_TRUE(f.bus.pipe0Requests().empty());
    EXPECT_EQ(words.UsbRxWords[1], 0x1111); // the old words stay
    EXPECT_EQ(words.UsbRxWords[2], 0x2222);
    EXPECT_TRUE(trace.frames.empty());
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(UsbTransfer, ReadFailureKeepsTheOldWords)
{
    ReadyCardFixture f;
    UsbTransferWords words;
    words.UsbRxWords[1] = 0x1111;
    f.bus.failPipe(0, 1);
    EXPECT_EQ(FailureShown(UsbTransfer(f.g, words, 1)), "Error Reading SPI");
    EXPECT_FALSE(f.g.UsbCardReady);
    EXPECT_EQ(words.UsbRxWords[1], 0x1111);
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(UsbTransfer, AnUnpluggedCardIsAWriteFailure)
{
    ReadyCardFixture f;
    UsbTransferWords words;
    f.bus.detachCard(0); // the device name no longer opens
    EXPECT_EQ(FailureShown(UsbTransfer(f.g, words, 1)), "Error Writing SPI");
    EXPECT_FALSE(f.g.UsbCardReady);
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(UsbSettings, WordDelayZeroBecomesOne)
{
    ReadyCardFixture f;
    std::uint8_t delay = 0;
    EXPECT_TRUE(UsbSetWordDelay(f.g, delay).ok());
    EXPECT_EQ(delay, 1);
    EXPECT_EQ(f.g.UsbWordDelay, 1);
    EXPECT_EQ(f.bus.wordDelay(0), 1);
    std::uint8_t other = 200;
    EXPECT_TRUE(UsbSetWordDelay(f.g, other).ok());
    EXPECT_EQ(f.requestBytes(), std::vector<Bytes>({{0x0B, 0x01}, {0x0B, 200}}));
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(UsbSettings, SpiBitsAndTheirReadBack)
{
    ReadyCardFixture f;
    EXPECT_TRUE(UsbSetSpiBits(f.g, 0xA5).ok());
    EXPECT_EQ(f.g.UsbSpiBits, 0xA5);
    EXPECT_EQ(f.bus.spiBits(0), 0xA5);
    std::uint8_t delay = 17;
    EXPECT_TRUE(UsbSetWordDelay(f.g, delay).ok());

    f.g.UsbSpiBits = 0;
    EXPECT_TRUE(UsbReadSpiSetup(f.g).ok());
    EXPECT_EQ(f.g.UsbWordDelay, 17);
    EXPECT_EQ(f.g.UsbSpiBits, 0x20); // 0xA5 keeps bits 6..3: 1010'0101 & 0111'1000 = 0010'0000
    EXPECT_EQ(f.requestBytes(), std::vector<Bytes>({{0x0C, 0xA5}, {0x0B, 17}, {0x01}}));
    EXPECT_TRUE(f.everyOpenClosed());
}

TEST(UsbSettings, FailuresReportAndLeaveTheCardNotReady)
{
    struct Case {
        const char* message;
        std::function<Outcome(GyroState&)> operation;
    };
    const std::vector<Case> cases{
        {"Error Setting SPI Bits", [](GyroState& g) { return UsbSetSpiBits(g, 0x08); }},
        {"Error Setting up SPI",
         [](GyroState& g) {
             std::uint8_t d = 5;
             return UsbSetWordDelay(g, d);
         }},
        {"Error Setting up SPI", [](GyroState& g) { return UsbReadSpiSetup(g); }},
    };
    for (const Case& c : cases) {
        ReadyCardFixture f;
        f.bus.stopAnswering(0);
        EXPECT_EQ(FailureShown(c.operation(f.g)), c.message);
        EXPECT_FALSE(f.g.UsbCardReady);
        EXPECT_TRUE(f.everyOpenClosed());
        // Not ready: the same operation now fails as told before and touches nothing.
        const int opens = f.bus.openCount(0);
        const Outcome again = c.operation(f.g);
        ASSERT_FALSE(again.ok()) << c.message;
        EXPECT_TRUE(again.failure().toldBefore) << c.message;
        EXPECT_EQ(f.bus.openCount(0), opens) << c.message;
    }
}

TEST(UsbSettings, ReadBackAnswerFailure)
{
    ReadyCardFixture f;
    f.bus.failPipe(0, 1);
    f.g.UsbSpiBits = 0x78;
    EXPECT_EQ(FailureShown(UsbReadSpiSetup(f.g)), "Error Reading SPI");
    EXPECT_FALSE(f.g.UsbCardReady);
    EXPECT_EQ(f.g.UsbWordDelay, 0); // cleared before asking, as the card's delay is unknown
    EXPECT_EQ(f.g.UsbSpiBits, 0x78);
    EXPECT_TRUE(f.everyOpenClosed());
}
