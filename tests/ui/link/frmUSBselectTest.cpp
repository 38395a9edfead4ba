#include "frmUSBselect.h"
#include "Screenshot.h"
#include "WindowBench.h"
#include "frmUSBdebug.h"

#include <QTimer>

namespace gyro::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> requestsTo(const sim::SimUsbBus& bus, int slot)
{
    std::vector<Bytes> list;
    for (const auto& r : bus.pipe0Requests())
        if (r.slot == slot)
            list.push_back(r.bytes);
    return list;
}

// A full-speed card (pipe 3 of 64 bytes) and a high-speed one (512 bytes).
sim::SimUsbCardConfig card(const char* text, std::uint16_t pipe3)
{
    sim::SimUsbCardConfig c;
    c.descriptor1 = QString::fromLatin1(text);
    c.pipe3MaxPacket = pipe3;
    return c;
}

TEST(SelectWindow, NoCardLeavesEveryRowDisabledAndEmptyAndSelectsNone)
{
    WindowBench b(sim::SimOptions{.usbCardAttached = false});
    frmUSBselect w(b.g, &b.mainWindow);
    EXPECT_EQ(w.objectName(), "frmUSBselect");
    EXPECT_EQ(w.windowTitle(), "USB SPI Card Selection");
    EXPECT_EQ(w.pos(), b.mainWindow.pos());
    w.show();

    for (int k = 0; k < 4; ++k) {
        EXPECT_FALSE(button(w, item("optUsbPort", k)).isEnabled()) << k;
        EXPECT_TRUE(box(w, item("txtDescript0", k)).text().isEmpty()) << k;
        EXPECT_TRUE(box(w, item("txtDriverRev", k)).text().isEmpty()) << k;
        EXPECT_TRUE(box(w, item("txtSpeed", k)).text().isEmpty()) << k;
    }
    EXPECT_TRUE(checked(w, "optUsbPort_4"));
    EXPECT_EQ(b.ui.texts(), QStringList{"No USB Buffers Found, Please Verify Setup and Restart"});
    EXPECT_FALSE(b.g.UsbCardReady);
    EXPECT_TRUE(b.g.UsbLoopStopped);
    EXPECT_TRUE(b.sim.usb().pipe0Requests().empty());
}

TEST(SelectWindow, CardsAtZeroAndTwoChooseTheFirstAndSendItTheSettings)
{
    WindowBench b;
    b.sim.usb().detachCard(0);
    b.sim.usb().attachCard(0, card("Bench card A", 64));
    b.sim.usb().attachCard(2, card("Bench card C", 512));
    frmUSBselect w(b.g, &b.mainWindow);
    w.show();

    EXPECT_TRUE(b.ui.messages.empty());
    EXPECT_TRUE(button(w, "optUsbPort_0").isEnabled());
    EXPECT_FALSE(button(w, "optUsbPort_1").isEnabled());
    EXPECT_TRUE(button(w, "optUsbPort_2").isEnabled());
    EXPECT_FALSE(button(w, "optUsbPort_3").isEnabled());
    EXPECT_TRUE(checked(w, "optUsbPort_0"));
    EXPECT_EQ(box(w, "txtDescript0_0").text(), "Bench card A");
    EXPECT_EQ(box(w, "txtDescript0_2").text(), "Bench card C");
    EXPECT_EQ(box(w, "txtDriverRev_0").text(), "2.3"); // firmware 2, 3
    EXPECT_EQ(box(w, "txtSpeed_0").text(), "1.1");     // full speed
    EXPECT_EQ(box(w, "txtSpeed_2").text(), "2.0");     // high speed: "2" shown as 2.0
    EXPECT_TRUE(box(w, "txtDescript0_1").text().isEmpty());

    // The chosen card's speed decides the word delay: 35 for the full-speed card at
    // slot 0, though the high-speed card at slot 2 was scanned last. The bits are
    // the start-up 0x78. Word delay first, then the bits.
    std::vector<Bytes> sent;
    for (const Bytes& r : requestsTo(b.sim.usb(), 0))
        if (r[0] == 0x0B || r[0] == 0x0C)
            sent.push_back(r);
    EXPECT_EQ(sent, (std::vector<Bytes>{{0x0B, 35}, {0x0C, 0x78}}));
    EXPECT_TRUE(requestsTo(b.sim.usb(), 2).size() == 1); // only the version request of the scan
    SaveScreenshot(w, "frmUSBselect");

    b.sim.usb().clearRequests();
    click(w, "optUsbPort_2");
    EXPECT_EQ(b.g.SelectedUsbBoard.DeviceName, "Ezusb-2");
    EXPECT_EQ(requestsTo(b.sim.usb(), 2), (std::vector<Bytes>{{0x0B, 10}, {0x0C, 0x78}}));
    EXPECT_TRUE(requestsTo(b.sim.usb(), 0).empty());
}

TEST(SelectWindow, ACardChosenAfterNoneIsNotReadyAndGetsNothing)
{
    WindowBench b;
    frmUSBselect w(b.g, &b.mainWindow);
    w.show();
    ASSERT_TRUE(b.g.UsbCardReady);
    b.g.UsbLoopStopped = false;

    click(w, "optUsbPort_4");
    EXPECT_FALSE(b.g.UsbCardReady);
    EXPECT_TRUE(b.g.UsbLoopStopped);

    b.sim.usb().clearRequests();
    click(w, "optUsbPort_0");
    EXPECT_TRUE(checked(w, "optUsbPort_0"));
    EXPECT_EQ(b.g.SelectedUsbBoard.DeviceName, "Ezusb-0");
    EXPECT_FALSE(b.g.UsbCardReady);
    EXPECT_TRUE(b.sim.usb().pipe0Requests().empty());
    EXPECT_TRUE(b.ui.messages.empty());

    // The next activation searches again and the card is ready once more.
    w.hide();
    w.show();
    EXPECT_TRUE(b.g.UsbCardReady);
}

TEST(SelectWindow, DebugOpensOneSetupWindowModallyAndShowsItsChoiceAfterwards)
{
    WindowBench b;
    b.sim.usb().attachCard(2);
    frmUSBselect w(b.g, &b.mainWindow);
    w.show();
    ASSERT_TRUE(checked(w, "optUsbPort_0"));

    bool wasModal = false;
    QTimer::singleShot(0, &w, [&] {
        frmUSBdebug* debug = w.debugWindow();
        ASSERT_NE(debug, nullptr);
        wasModal = debug->isVisible() && debug->isModal();
        EXPECT_EQ(debug->pos(), b.mainWindow.pos());
        click(*debug, "optUsbPort_2"); // the user picks the other card there
        click(*debug, "cmdExit");
    });
    click(w, "cmdDebugUsb");
    frmUSBdebug* first = w.debugWindow();
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(b.g.SelectedUsbBoard.DeviceName, "Ezusb-2");
    EXPECT_TRUE(checked(w, "optUsbPort_2"));

    // The same instance comes back; the title bar only hides it.
    QTimer::singleShot(0, &w, [&] { w.debugWindow()->close(); });
    click(w, "cmdDebugUsb");
    EXPECT_EQ(w.debugWindow(), first);
    EXPECT_FALSE(first->isVisible());

    // So does this window's own title bar.
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isHidden());
}

} // namespace
} // namespace gyro::test
