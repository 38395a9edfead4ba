// Readings that did not happen are never shown: a card that stops answering, an
// unplugged card that a new search brings back, and the interface menu reading
// the sensor's set-up as the load does.
#include "MainWindowFixture.h"
#include "Screenshot.h"
#include "StripChart.h"

using namespace gyro;
using namespace gyro::test;

namespace {

const char* const ReadingLabels[] = {"lblRegDat_1", "lblRegDat_2", "lblRegDat_3", "lblRegDat_4"};
const char* const FlagLabels[] = {"lblLowSupplyFlag", "lblHighSupplyFlag", "lblWriteFailFlag",
                                  "lblSpiWriteFlag",  "lblGyroOR",         "lblSTFail",
                                  "lblAlarm1SetFlag", "lblAlarm2SetFlag"};
constexpr int SensAvgAddress = 0x38;

} // namespace

class FailedRead : public MainWindowTest {
protected:
    void loadUsb()
    {
        load(2);
        control<QAbstractButton>("ckLoop")->setChecked(false); // one pass per click
        ui.clear();
    }
    StripChart* chart(const char* name) const { return control<StripChart>(name); }
    void expectNoReadings() const
    {
        for (const char* label : ReadingLabels)
            EXPECT_EQ(text(label), "----") << label;
        for (const char* flag : FlagLabels)
            EXPECT_EQ(text(flag), "----") << flag; // never a stale green "OK"
    }
    void chooseUsbFromTheMenu()
    {
        closeNextModal(); // the selection window searched on opening
        action("mnuUsb")->trigger();
    }
};

TEST_F(FailedRead, CardThatStopsAnsweringShowsNoNumberNoPointAndNoOk)
{
    loadUsb();
    const int rateBefore = chart("pic1")->position();
    const int tempBefore = chart("pic2")->position();

    // Four transfers still go through (supply, rate, aux, temperature), then the card
    // goes silent: the angle and status reads of this pass fail.
    sim.usb().stopAnsweringAfter(0, 4);
    click("cmdReadData");
    EXPECT_NE(text("lblRegDat_2"), "----");
    EXPECT_EQ(chart("pic1")->position(), rateBefore + 1);
    EXPECT_EQ(chart("pic2")->position(), tempBefore + 1);
    for (const char* flag : FlagLabels)
        EXPECT_EQ(text(flag), "----") << flag;
    EXPECT_EQ(ui.texts(), QStringList{"Error Writing SPI"}); // told once

    // The next pass reads nothing: no number, no chart point, no further message.
    click("cmdReadData");
    expectNoReadings();
    EXPECT_EQ(chart("pic1")->position(), rateBefore + 1);
    EXPECT_EQ(chart("pic2")->position(), tempBefore + 1);
    EXPECT_EQ(ui.texts().size(), 1);
    EXPECT_TRUE(text("lblInterface").contains("not answering"));
    SaveScreenshot(*form, "frmForm1_card_not_answering");
}

TEST_F(FailedRead, UnpluggedCardComesBackOnANewSearchWithoutRestarting)
{
    loadUsb();
    // Unplugged at the next transfer; back once one attempt to open it has failed.
    sim.usb().unplugAfter(0, 0, 1);
    click("cmdReadData");
    expectNoReadings();

    chooseUsbFromTheMenu(); // the attempt that fails: the card is still out
    EXPECT_TRUE(ui.texts().contains("No USB Buffers Found, Please Verify Setup and Restart"));
    EXPECT_EQ(g.InterfaceType, 0);
    EXPECT_FALSE(action("mnuUsb")->isChecked());
    EXPECT_TRUE(text("lblInterface").startsWith("No interface"));

    chooseUsbFromTheMenu(); // plugged back: found again
    EXPECT_EQ(g.InterfaceType, 2);
    EXPECT_TRUE(action("mnuUsb")->isChecked());
    EXPECT_EQ(text("lblInterface"), "USB card Ezusb-0");
    click("cmdReadData");
    EXPECT_NEAR(text("lblRegDat_1").toDouble(), 5.0, 0.1);
    EXPECT_EQ(text("lblLowSupplyFlag"), "OK");
}

// After a start without an interface, choosing one from the menu reads the control
// registers and the range as the load does: Gyro_Out is then scaled for the range
// the sensor holds, and self-test edits the Msc_Ctrl the sensor holds.
TEST_F(FailedRead, InterfaceChosenFromTheMenuReadsTheControlRegistersAndTheRange)
{
    sim.sensor().setRegisterWord(SensAvgAddress, 0x0100 | 0x04); // the narrowest range
    sim.sensor().setRegisterWord(MscCtrlAddress, 0x0605);
    load(0);
    ASSERT_EQ(g.InterfaceType, 0);
    EXPECT_FLOAT_EQ(g.Reg[Idx_Gyro_Out].RegScale, 0.07326f); // the map's widest range

    chooseUsbFromTheMenu();
    ASSERT_EQ(g.InterfaceType, 2);
    EXPECT_FLOAT_EQ(g.Reg[Idx_Gyro_Out].RegScale, 0.018315f); // a quarter of the widest
    EXPECT_EQ(g.MscCtrlShadow, 0x0605);

    framesOut();
    ClickOptionButton(control<QAbstractButton>("optSTON"));
    // 0x0605 with bit 8 set: 0x0705, high byte to 0x35 first.
    EXPECT_EQ(framesOut(), (std::vector<std::uint16_t>{0xB507, 0xB405}));
}

TEST_F(FailedRead, PortSetupThatFailsKeepsTheInterfaceAndReadsNothing)
{
    load(0);
    ui.clear();
    sim.parallelPort().setUnclaimable(true);
    QTimer::singleShot(0, [] {
        QWidget* modal = QApplication::activeModalWidget();
        QTest::mouseClick(modal->findChild<QAbstractButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        // The claim failed: the window stays open for another address or Cancel.
        EXPECT_TRUE(modal->isVisible());
        static_cast<QDialog*>(modal)->done(QDialog::Rejected);
    });
    action("mnuPort")->trigger();
    ASSERT_EQ(ui.texts().size(), 1);
    EXPECT_TRUE(ui.texts().front().contains("could not be claimed"));
    EXPECT_EQ(g.InterfaceType, 0);
    EXPECT_TRUE(framesOut().empty());
}
