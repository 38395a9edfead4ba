// Failures the program finds on the sensor link: the settings file keeps the
// interface the user chose, the readout loop and the window show the failure as
// it is, and a failure is told once.
#include "MainWindowFixture.h"
#include "Screenshot.h"

#include <QFile>
#include <QPushButton>
#include <functional>

using namespace gyro;
using namespace gyro::test;

namespace {

const char* const FlagLabels[] = {"lblLowSupplyFlag", "lblHighSupplyFlag", "lblWriteFailFlag",
                                  "lblSpiWriteFlag",  "lblGyroOR",         "lblSTFail",
                                  "lblAlarm1SetFlag", "lblAlarm2SetFlag"};

} // namespace

class InterfaceFailure : public MainWindowTest {
public:
    QByteArray interfaceLine()
    {
        QFile file(QStringLiteral("CommPort.cfg"));
        return file.open(QIODevice::ReadOnly) ? file.readLine() : QByteArray();
    }
    // Runs `act` on the modal window that opens next, once it runs its own loop
    // (asked again on each turn of the event loop until it does).
    static void onNextModal(std::function<void(QDialog&)> act)
    {
        QTimer::singleShot(0, [act] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                act(*modal);
            else
                onNextModal(act);
        });
    }
};

TEST_F(InterfaceFailure, ClosingKeepsTheInterfaceTheUserChoseWhateverFailed)
{
    struct Case {
        const char* name;
        std::int16_t chosen;
        std::function<void()> failure;
    };
    const Case cases[] = {
        {"no card at start", 2,
         [this] {
             sim.usb().detachCard(0);
             closeNextModal();
             load(2);
         }},
        {"card stops answering", 2,
         [this] {
             load(2);
             control<QAbstractButton>("ckLoop")->setChecked(false);
             sim.usb().stopAnswering(0);
             click("cmdReadData");
         }},
        {"Interface, Usb finds no card", 2,
         [this] {
             load(2);
             sim.usb().detachCard(0);
             closeNextModal();
             action("mnuUsb")->trigger();
         }},
        // Choosing "no card" by hand is the user's choice of no interface.
        {"no card chosen in the selection window", 0,
         [this] {
             load(2);
             onNextModal([](QDialog& select) {
                 auto* none = select.findChild<QAbstractButton*>(QStringLiteral("optUsbPort_4"));
                 QTest::mouseClick(none, Qt::LeftButton, {}, QPoint(6, none->height() / 2));
                 select.done(QDialog::Accepted);
             });
             action("mnuUsb")->trigger();
         }},
        {"no parallel port at start", 1,
         [this] {
             sim.parallelPort().setBaseAddress(0x278);
             load(1);
         }},
    };
    for (const Case& c : cases) {
        c.failure();
        form->close();
        EXPECT_EQ(interfaceLine(), QByteArray("Interface =  ") + QByteArray::number(c.chosen) + "\r\n")
            << c.name;
        form.reset();
        sim.usb().attachCard(0);
        sim.usb().setAnswering(0, true);
        sim.parallelPort().setBaseAddress(0x378);
        g.UsbCardReady = false;
        QFile::remove(QStringLiteral("CommPort.cfg"));
    }
}

TEST_F(InterfaceFailure, UsbMenuWithoutACardEndsTheReadoutLoop)
{
    load(2);
    ASSERT_TRUE(control<QAbstractButton>("ckLoop")->isChecked());
    ui.onYield = [&] {
        if (ui.yields == 5) { // a few passes into the loop
            sim.usb().detachCard(0);
            closeNextModal();
            action("mnuUsb")->trigger();
        }
        if (ui.yields > 200)
            form->close(); // a loop that never ends would hang the test
    };
    click("cmdReadData");
    ui.onYield = nullptr;
    EXPECT_LT(ui.yields, 200);
    EXPECT_EQ(text("cmdReadData"), "Read");
    EXPECT_EQ(text("lblInterface"), "No interface: choose one under Interface");
}

TEST_F(InterfaceFailure, ACardThatFailsInTheDatalogWindowShowsInTheMainWindow)
{
    load(2);
    control<QAbstractButton>("ckLoop")->setChecked(false);
    ASSERT_EQ(text("lblSTFail"), "OK");
    onNextModal([this](QDialog& datalog) {
        sim.usb().stopAnswering(0);
        QTest::mouseClick(datalog.findChild<QPushButton*>(QStringLiteral("cmdStartDatalog")), Qt::LeftButton);
        datalog.done(QDialog::Rejected);
    });
    action("mnuDatalog")->trigger();
    EXPECT_FALSE(g.UsbCardReady);
    EXPECT_EQ(text("lblInterface"), "USB card not answering: search again under Interface, Usb");
    for (const char* flag : FlagLabels)
        EXPECT_EQ(text(flag), "----") << flag;
    EXPECT_EQ(text("lblRegDat_2"), "----");
    QCoreApplication::processEvents(); // the status bar lays its new text out, as the event loop would
    SaveScreenshot(*form, "frmForm1_card_failed_in_datalog");
}

TEST_F(InterfaceFailure, AFailingDriverRequestAtStartIsToldOnce)
{
    sim.usb().failRequests(0, 0x222051); // every pipe transfer
    closeNextModal();
    load(2);
    EXPECT_EQ(ui.texts(),
              QStringList{"Error getting Board Info\n\nNo Valid USB Buffers Found, Please Verify Setup "
                          "and Restart"});
    EXPECT_EQ(g.InterfaceType, 0);
}

// Every start path sets the power-down panel's texts: no design text shows.
TEST_F(InterfaceFailure, EveryStartShowsThePowerDownTexts)
{
    for (const std::int16_t interfaceType : {std::int16_t{0}, std::int16_t{1}, std::int16_t{2}}) {
        load(interfaceType);
        EXPECT_EQ(text("txtPowerDown"), "0") << interfaceType;
        EXPECT_EQ(text("lblPDElapsed"), "0.0") << interfaceType;
        if (interfaceType == 0)
            SaveScreenshot(*form, "frmForm1_no_interface");
        form.reset();
    }
}
