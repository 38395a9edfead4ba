#include "frmUSBdebug.h"
#include "CommaLocale.h"
#include "Screenshot.h"
#include "WindowBench.h"

#include <QCheckBox>
#include <QGroupBox>

namespace gyro::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t TransferPos = 13;
constexpr std::uint8_t TransferNeg = 14;

struct DebugWindow : ::testing::Test {
    WindowBench b;
    std::unique_ptr<frmUSBdebug> w;

    // A full-speed FIFO4 card at "Ezusb-0" (so the word delay after the search is 35).
    void SetUp() override
    {
        b.sim.usb().detachCard(0);
        sim::SimUsbCardConfig card;
        card.descriptor1 = "Bench card";
        card.descriptor2 = "SPI bridge";
        card.pipe3MaxPacket = 64;
        b.sim.usb().attachCard(0, card);
    }

    void open()
    {
        if (!w)
            w = std::make_unique<frmUSBdebug>(b.g, &b.mainWindow);
        w->show();
    }

    std::vector<Bytes> requests(int slot = 0)
    {
        std::vector<Bytes> list;
        for (const auto& r : b.sim.usb().pipe0Requests())
            if (r.slot == slot)
                list.push_back(r.bytes);
        return list;
    }
    std::vector<Bytes> transfers()
    {
        std::vector<Bytes> list;
        for (const Bytes& r : requests())
            if (r[0] == TransferPos || r[0] == TransferNeg)
                list.push_back(r);
        return list;
    }
    QLineEdit& field(const char* name, int index) const { return box(*w, item(name, index)); }
    void setWords(const QStringList& words)
    {
        box(*w, "txtNumWords").setText(QString::number(words.size()));
        for (int i = 0; i < words.size(); ++i)
            field("txtWriteSpi", i + 1).setText(words[i]);
    }
    std::vector<bool> staticBoxes() const
    {
        std::vector<bool> v;
        for (int n = 2; n <= 5; ++n)
            v.push_back(checked(*w, item("chkStaticBits", n)));
        return v;
    }
    void enter(const QString& delay)
    {
        box(*w, "txtLoopDelay").setText(delay);
        QTest::keyClick(&box(*w, "txtLoopDelay"), Qt::Key_Return);
    }
    // A loop that should have ended is stopped from outside, so the test fails instead of hanging.
    void endRunawayLoop(int passes)
    {
        if (passes >= 10) {
            ADD_FAILURE() << "the loop did not end";
            b.g.UsbLoopStopped = true;
        }
    }
    bool framesEnabled() const
    {
        return control<QGroupBox>(*w, "frameSPIsetup").isEnabled() &&
               control<QGroupBox>(*w, "frameManual").isEnabled();
    }
};

TEST_F(DebugWindow, ActivationListsTheCardsAndSendsTheChosenOneItsSettings)
{
    sim::SimUsbCardConfig mcp;
    mcp.productId = 0x3A62;
    b.sim.usb().attachCard(2, mcp);
    b.g.UsbSpiChannel = 3;
    b.g.UsbSpiPolarity = false;
    open();
    EXPECT_EQ(w->objectName(), "frmUSBdebug");
    EXPECT_EQ(w->windowTitle(), "USB SPI Card Setup");
    EXPECT_EQ(w->pos(), b.mainWindow.pos());

    EXPECT_EQ(field("txtUsbPort", 0).text(), "FIFO4 - 0");
    EXPECT_EQ(field("txtUsbPort", 1).text(), "None");
    EXPECT_EQ(field("txtUsbPort", 2).text(), "MCP - 0");
    EXPECT_EQ(field("txtDescript0", 0).text(), "Bench card");
    EXPECT_EQ(field("txtDescript1", 0).text(), "SPI bridge");
    EXPECT_EQ(field("txtDriverRev", 0).text(), "2.3");
    EXPECT_EQ(field("txtSpeed", 0).text(), "1.1");
    EXPECT_EQ(field("txtSpeed", 2).text(), "2.0");
    EXPECT_TRUE(checked(*w, "optUsbPort_0"));
    EXPECT_FALSE(button(*w, "optUsbPort_1").isEnabled());
    EXPECT_TRUE(framesEnabled());

    // After the scan's version request (0x00): the bits (start-up 0x78), the word
    // delay (35: the chosen card at slot 0 is full speed, whatever the high-speed
    // card at slot 2 scanned after it), then two read-backs.
    const std::vector<Bytes> expected{{0x00}, {0x0C, 0x78}, {0x0B, 35}, {0x01}, {0x01}};
    EXPECT_EQ(requests(0), expected);
    EXPECT_EQ(staticBoxes(), (std::vector<bool>{true, true, true, true})); // 0x78: bits 3..6
    EXPECT_EQ(box(*w, "txtLoopDelay").text(), "35");
    EXPECT_TRUE(checked(*w, "optSpiChan_3"));
    EXPECT_EQ(b.g.UsbSpiChannel, 3);
    EXPECT_EQ(button(*w, "cmdPolarity").text(), "Neg");
    EXPECT_TRUE(b.ui.messages.empty());
}

TEST_F(DebugWindow, StaticBitsShowTheCardsBitsAndSetBitsSendsExactlyTheCheckedOnes)
{
    b.g.UsbSpiBits = 0x08;
    open();
    EXPECT_EQ(staticBoxes(), (std::vector<bool>{true, false, false, false})); // 0x08 is bit 3: CS2

    click(*w, "chkStaticBits_2");
    click(*w, "chkStaticBits_4");
    ASSERT_EQ(staticBoxes(), (std::vector<bool>{false, false, true, false}));
    b.g.UsbSpiBits = 0x87; // bits 0..2 and 7 set before: they are not sent
    b.sim.usb().clearRequests();
    click(*w, "cmdSetSpiBits");
    EXPECT_EQ(requests(), (std::vector<Bytes>{{0x0C, 0x20}})); // CS4 is bit 5
    EXPECT_EQ(b.sim.usb().spiBits(0), 0x20);

    click(*w, "chkStaticBits_5"); // checked but not sent: Read shows the card's bits
    click(*w, "cmdReadBits");
    EXPECT_EQ(staticBoxes(), (std::vector<bool>{false, false, true, false}));
}

TEST_F(DebugWindow, WordCountIsHeldWithinOneToSixteen)
{
    open();
    const auto countSent = [&] { return transfers().back()[2]; };

    box(*w, "txtNumWords").setText("0");
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(box(*w, "txtNumWords").text(), "1");
    EXPECT_EQ(countSent(), 1);

    box(*w, "txtNumWords").setText("40");
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(box(*w, "txtNumWords").text(), "16");
    EXPECT_EQ(countSent(), 16);
    EXPECT_EQ(transfers().back().size(), 3u + 2 * 16);

    box(*w, "txtNumWords").setText("3");
    click(*w, "cmdWriteSpi");
    box(*w, "txtNumWords").setText(""); // keeps the previous count
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(box(*w, "txtNumWords").text(), "3");
    EXPECT_EQ(countSent(), 3);

    box(*w, "txtNumWords").setText("many"); // not a number: below 1
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(box(*w, "txtNumWords").text(), "1");
    EXPECT_TRUE(b.ui.messages.empty());
}

TEST_F(DebugWindow, WordBoxesShowWhatWasSentAndWhatCameBack)
{
    open();
    setWords({"", "abcd", "0400", "0400"});
    b.sim.sensor().clearTrace();
    click(*w, "cmdWriteSpi");

    // Channel 1, four words, high byte first; an empty box sends 0.
    EXPECT_EQ(transfers().back(), (Bytes{TransferPos, 1, 4, 0x00, 0x00, 0xAB, 0xCD, 0x04, 0x00, 0x04, 0x00}));
    EXPECT_EQ(field("txtWriteSpi", 1).text(), "0");
    EXPECT_EQ(field("txtWriteSpi", 2).text(), "ABCD");
    EXPECT_EQ(field("txtWriteSpi", 3).text(), "400");
    for (int i = 5; i <= 16; ++i) {
        EXPECT_TRUE(field("txtWriteSpi", i).text().isEmpty()) << i;
        EXPECT_TRUE(field("txtReadSpi", i).text().isEmpty()) << i;
    }

    // The sensor saw the four frames and each readback box shows its answer.
    const auto& trace = b.sim.sensor().trace();
    ASSERT_EQ(trace.size(), 4u);
    const std::uint16_t sent[] = {0x0000, 0xABCD, 0x0400, 0x0400};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(trace[i].out, sent[i]);
        EXPECT_EQ(field("txtReadSpi", i + 1).text(), QString::number(trace[i].in, 16).toUpper()) << i;
    }
    SaveScreenshot(*w, "frmUSBdebug");
}

TEST_F(DebugWindow, ReadFrameSentTwiceShowsGyroOutInTheSecondBox)
{
    open();
    // Gyro_Out is at address 4; its read frame is 4 * 256. The forced word carries
    // the new-data flag (bit 15) and a rate count.
    b.sim.sensor().setRegisterWord(4, 0x9234);
    setWords({"0400", "0400"});
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(field("txtReadSpi", 2).text(), "9234");
    const auto& trace = b.sim.sensor().trace();
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace.back().out, 0x0400);
    EXPECT_EQ(trace.back().in, 0x9234);
}

TEST_F(DebugWindow, OtherChannelsDoNotReachTheSensor)
{
    open();
    click(*w, "optSpiChan_2");
    EXPECT_EQ(b.g.UsbSpiChannel, 2);
    setWords({"0400", "0400"});
    b.sim.sensor().clearTrace();
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(transfers().back()[1], 2);
    EXPECT_TRUE(b.sim.sensor().trace().empty());
    EXPECT_EQ(field("txtReadSpi", 2).text(), "FFFF"); // nothing drives the data line
}

TEST_F(DebugWindow, PolarityToggles)
{
    open();
    click(*w, "cmdPolarity");
    EXPECT_EQ(button(*w, "cmdPolarity").text(), "Neg");
    EXPECT_FALSE(b.g.UsbSpiPolarity);
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(transfers().back()[0], TransferNeg);
    click(*w, "cmdPolarity");
    EXPECT_EQ(button(*w, "cmdPolarity").text(), "Pos");
    EXPECT_TRUE(b.g.UsbSpiPolarity);
}

// Where the decimal mark is a comma the delay box reads it as every box does, then
// rounds half to even; a point there is no decimal mark and ends the number.
TEST_F(DebugWindow, DelayReadsTheLocalesDecimalMark)
{
    GYRO_UNDER_COMMA_LOCALE();
    open();
    const std::pair<const char*, int> cases[] = {{"12,6", 13}, {"13,5", 14}, {"12,5", 12}, {"12.6", 13}};
    for (const auto& [typed, sent] : cases) {
        enter(QString::fromLatin1(typed));
        EXPECT_EQ(b.sim.usb().wordDelay(0), sent) << typed;
        EXPECT_EQ(box(*w, "txtLoopDelay").text(), QString::number(sent)) << typed;
    }
}

TEST_F(DebugWindow, DelayEnteredWithEnterIsHeldWithinOneTo255)
{
    open();
    b.sim.usb().clearRequests();
    enter("0");
    EXPECT_EQ(box(*w, "txtLoopDelay").text(), "1");
    enter("300");
    EXPECT_EQ(box(*w, "txtLoopDelay").text(), "255");
    enter("12.5"); // rounded half to even
    EXPECT_EQ(requests(), (std::vector<Bytes>{{0x0B, 1}, {0x0B, 255}, {0x0B, 12}}));
    EXPECT_EQ(b.sim.usb().wordDelay(0), 12);
    EXPECT_TRUE(w->isVisible()); // Enter pressed no button

    // Other keys only type; "Read" shows what the card holds.
    QTest::keyClick(&box(*w, "txtLoopDelay"), Qt::Key_7);
    EXPECT_EQ(requests().size(), 3u);
    click(*w, "cmdReadDelay");
    EXPECT_EQ(box(*w, "txtLoopDelay").text(), "12");
}

// The delay the user set stays in force for the run: a later search, here or by
// opening the window again, sends it to the card instead of the speed's default.
TEST_F(DebugWindow, DelayTheUserSetSurvivesLaterCardSearches)
{
    open();
    enter("50");
    b.sim.usb().clearRequests();
    click(*w, "cmdFindEzUsb");
    EXPECT_EQ(b.g.UsbWordDelay, 50);
    EXPECT_EQ(b.sim.usb().wordDelay(0), 50);
    EXPECT_EQ(box(*w, "txtLoopDelay").text(), "50");

    w->hide();
    w->show();
    EXPECT_EQ(b.sim.usb().wordDelay(0), 50);
    std::vector<Bytes> delays;
    for (const Bytes& r : requests())
        if (r[0] == 0x0B)
            delays.push_back(r);
    EXPECT_EQ(delays, (std::vector<Bytes>(2, Bytes{0x0B, 50})));
}

TEST_F(DebugWindow, WithoutAReadyCardEveryOperationAsksForACard)
{
    open();
    const QString pleaseSelect = "Please Select a Buffer first";
    // As after a failed read-back, which leaves the frames enabled.
    b.g.UsbCardReady = false;
    b.g.UsbWordDelay = 42;
    b.sim.usb().clearRequests();

    click(*w, "cmdReadDelay");
    EXPECT_EQ(box(*w, "txtLoopDelay").text(), "42");
    enter("7");
    EXPECT_EQ(box(*w, "txtLoopDelay").text(), "42");
    click(*w, "cmdReadBits");
    EXPECT_EQ(b.ui.texts(), QStringList(3, pleaseSelect));
    EXPECT_TRUE(framesEnabled());

    b.g.UsbLoopStopped = false;
    click(*w, "cmdSetSpiBits");
    EXPECT_TRUE(checked(*w, "optUsbPort_4"));
    EXPECT_FALSE(framesEnabled());
    EXPECT_TRUE(b.g.UsbLoopStopped);

    w->cmdWriteSpi_Click(); // its button is disabled now with its frame
    EXPECT_EQ(b.ui.texts(), QStringList(5, pleaseSelect));
    EXPECT_TRUE(b.sim.usb().pipe0Requests().empty());

    // "Search" finds the card again.
    click(*w, "cmdFindEzUsb");
    EXPECT_TRUE(b.g.UsbCardReady);
    EXPECT_TRUE(checked(*w, "optUsbPort_0"));
    EXPECT_TRUE(framesEnabled());
}

TEST_F(DebugWindow, AFailedTransferSelectsNoneAndShowsNoOldAnswer)
{
    open();
    setWords({"0400", "0400"});
    click(*w, "cmdWriteSpi");
    ASSERT_FALSE(field("txtReadSpi", 2).text().isEmpty());

    b.sim.usb().stopAnswering(0);
    click(*w, "cmdWriteSpi");
    EXPECT_EQ(b.ui.texts(), QStringList{"Error Writing SPI"});
    EXPECT_TRUE(checked(*w, "optUsbPort_4"));
    EXPECT_FALSE(b.g.UsbCardReady);
    EXPECT_TRUE(field("txtReadSpi", 1).text().isEmpty());
    EXPECT_TRUE(field("txtReadSpi", 2).text().isEmpty());
}

TEST_F(DebugWindow, LoopRunsUntilStopAndAppliesChangesFromTheNextTransfer)
{
    open();
    setWords({"1234", "5678"});
    int passes = 0;
    bool writeWaited = true;
    b.ui.onYield = [&] {
        ++passes;
        writeWaited = writeWaited && !button(*w, "cmdWriteSpi").isEnabled();
        EXPECT_EQ(button(*w, "cmdLoop").text(), "Stop");
        if (passes == 1) {
            click(*w, "cmdPolarity");
            click(*w, "optSpiChan_3");
            field("txtWriteSpi", 1).setText("FFFF"); // not picked up by the running loop
            box(*w, "txtNumWords").setText("1");
        } else if (passes == 2) {
            click(*w, "cmdLoop");
            EXPECT_EQ(button(*w, "cmdLoop").text(), "Loop");
        }
        endRunawayLoop(passes);
    };
    click(*w, "cmdLoop");
    b.ui.onYield = nullptr;

    // The first transfer reads the boxes, the loop repeats it; after the first
    // yield the polarity and channel change; the Stop in the second yield ends it.
    const Bytes before{TransferPos, 1, 2, 0x12, 0x34, 0x56, 0x78};
    const Bytes after{TransferNeg, 3, 2, 0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(transfers(), (std::vector<Bytes>{before, before, after}));
    EXPECT_EQ(passes, 2);
    EXPECT_TRUE(writeWaited);
    EXPECT_EQ(button(*w, "cmdLoop").text(), "Loop");
    EXPECT_TRUE(button(*w, "cmdWriteSpi").isEnabled());
    EXPECT_TRUE(b.g.UsbLoopStopped);
    EXPECT_EQ(field("txtWriteSpi", 1).text(), "FFFF");
    EXPECT_EQ(field("txtReadSpi", 1).text(), "FFFF"); // channel 3 reaches no sensor
    EXPECT_TRUE(b.ui.messages.empty());
}

TEST_F(DebugWindow, ACardThatStopsAnsweringEndsTheLoop)
{
    open();
    setWords({"0400", "0400"});
    int passes = 0;
    b.ui.onYield = [&] {
        if (++passes == 2)
            b.sim.usb().stopAnswering(0);
        endRunawayLoop(passes);
    };
    click(*w, "cmdLoop");
    b.ui.onYield = nullptr;

    EXPECT_EQ(b.ui.texts(), QStringList{"Error Writing SPI"});
    EXPECT_EQ(passes, 3);              // the failing pass yields once more, then the loop ends
    EXPECT_EQ(transfers().size(), 3u); // the first transfer and two good passes
    EXPECT_TRUE(checked(*w, "optUsbPort_4"));
    EXPECT_FALSE(framesEnabled());
    EXPECT_TRUE(b.g.UsbLoopStopped);
    EXPECT_EQ(button(*w, "cmdLoop").text(), "Loop");
    EXPECT_FALSE(field("txtReadSpi", 2).text().isEmpty()); // the last good answer stays
}

TEST_F(DebugWindow, HidingTheWindowEndsARunningLoop)
{
    open();
    int passes = 0;
    b.ui.onYield = [&] {
        if (++passes == 1)
            click(*w, "cmdExit");
        endRunawayLoop(passes);
    };
    click(*w, "cmdLoop");
    b.ui.onYield = nullptr;
    EXPECT_EQ(passes, 1);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(b.g.UsbLoopStopped);
    EXPECT_EQ(button(*w, "cmdLoop").text(), "Loop");
}

TEST_F(DebugWindow, TitleBarCloseOnlyHidesAndTheContentsStay)
{
    open();
    setWords({"0400", "BEEF"});
    click(*w, "cmdWriteSpi");
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isHidden());
    EXPECT_EQ(field("txtWriteSpi", 2).text(), "BEEF");
    EXPECT_FALSE(field("txtReadSpi", 2).text().isEmpty());
}

TEST_F(DebugWindow, NoCardLeavesNoneSelectedAndTheFramesDisabled)
{
    b.sim.usb().detachCard(0);
    open();
    EXPECT_EQ(b.ui.texts(), QStringList{"No USB Buffers Found, Please Verify Setup and Restart"});
    EXPECT_TRUE(checked(*w, "optUsbPort_4"));
    EXPECT_FALSE(framesEnabled());
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(field("txtUsbPort", k).text(), "None") << k;
    SaveScreenshot(*w, "frmUSBdebug-nocard");
}

} // namespace
} // namespace gyro::test
