// The main window's load on each interface and system, the device menu, the
// interface menu and the close.
#include "InterfaceSettings.h"
#include "MainWindowFixture.h"
#include "Screenshot.h"
#include "WidgetText.h"

#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QSignalSpy>
#include <functional>

using namespace gyro;
using namespace gyro::test;

namespace {

const QString NoInterface = QStringLiteral("Please select an interface before taking data");
const QString NoUsbOn95 = QStringLiteral("USB not available for Windows95");
const QString SupplyLow = QStringLiteral("Suppl_Out < 3 V,  Check Dut Connections / Power");

// One register read on the USB card: the read frame (address x 256) twice.
std::vector<std::uint16_t> usbRead(int address)
{
    const auto frame = static_cast<std::uint16_t>(address * 256);
    return {frame, frame};
}

} // namespace

using MainWindowLoad = MainWindowTest;

TEST_F(MainWindowLoad, UsbCardReadsTheSensorOnceAndShowsEverything)
{
    frmForm1& window = load(2);

    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(g.OsName, "WinXP"); // platform 2, version 5.1
    EXPECT_EQ(g.InterfaceType, 2);
    EXPECT_TRUE(action("mnuUsb")->isChecked());
    EXPECT_FALSE(action("mnuPort")->isChecked());
    EXPECT_TRUE(action("mnu27140")->isChecked());
    EXPECT_FALSE(action("mnu27130")->isChecked());
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("Korvex - Gyro Evaluation")));
    EXPECT_TRUE(window.windowTitle().contains(sim.platform().description));
    EXPECT_TRUE(control<QLabel>("lblPlatform")->text().contains(sim.platform().description));
    EXPECT_EQ(control<QGroupBox>("FrameDataPLot")->title(), "Data Plot   Device = 27140");

    // The card got the SPI bits 0x78 and the word delay as the search left it.
    EXPECT_EQ(sim.usb().spiBits(0), 0x78);
    EXPECT_EQ(sim.usb().wordDelay(0), g.UsbWordDelay);

    // Status, Msc_Ctrl, the three control registers, Sens_Avg, the five outputs and
    // the status again, and Sens_Avg for the gyro scale: each read twice on the card.
    std::vector<std::uint16_t> expected;
    for (int address : {0x3C, 0x34, 0x32, 0x28, 0x34, 0x38, 0x02, 0x04, 0x0A, 0x0C, 0x0E, 0x3C, 0x38}) {
        const auto read = usbRead(address);
        expected.insert(expected.end(), read.begin(), read.end());
    }
    EXPECT_EQ(framesOut(), expected);

    // The readings of the pass: supply near 5 V, temperature near 25 C; the angle row is off.
    EXPECT_NEAR(text("lblRegDat_1").toDouble(), 5.0, 0.1);
    EXPECT_NEAR(text("lblRegDat_4").toDouble(), 25.0, 3.0);
    EXPECT_EQ(text("lblRegDat_5"), "____");
    EXPECT_EQ(backColor("lblRegDat_1"), QColor(255, 255, 255));
    EXPECT_EQ(text("txtLoopDelay"), "5");
    EXPECT_EQ(text("txtPowerDown"), "0");
    EXPECT_EQ(text("lblPDElapsed"), "0.0");
    EXPECT_EQ(text("lblCurSam1"), "0");
    EXPECT_EQ(text("lblCurVal2"), "0");
    EXPECT_TRUE(control<QAbstractButton>("ckLoop")->isChecked());
    EXPECT_EQ(text("cmdReadData"), "Read");
    EXPECT_EQ(text("lblLowSupplyFlag"), "OK");
    EXPECT_EQ(backColor("lblLowSupplyFlag"), QColor(0, 255, 0));

    // Most of a sweep at 30 ms a pass (one period of the simulated motion), on the
    // +-50 deg/s and 20..40 C ranges, so the picture shows what an engineer sees.
    control<QAbstractButton>("ckLoop")->setChecked(false);
    control<QLineEdit>("txtLoopDelay")->setText(QStringLiteral("30"));
    for (const char* button : {"cmdScaleGyro", "cmdScaleGyro", "cmdScaleAcc", "cmdScaleAcc"})
        click(button);
    for (int pass = 0; pass < 330; ++pass)
        click("cmdReadData");
    SaveScreenshot(window, QStringLiteral("frmForm1"));
}

TEST_F(MainWindowLoad, NoInterfaceAsksForOneAndReadsNothing)
{
    g.ProductNumber = 27130;
    load(0);

    EXPECT_EQ(ui.texts(), QStringList{NoInterface});
    EXPECT_TRUE(framesOut().empty());
    EXPECT_FALSE(action("mnuUsb")->isChecked());
    EXPECT_FALSE(action("mnuPort")->isChecked());
    EXPECT_TRUE(action("mnu27130")->isChecked());
    // Steps up to the caption ran; the readout and flags show that nothing was read,
    // the status bar that there is no interface, and the angle row looks disabled.
    EXPECT_EQ(text("txtLoopDelay"), "5");
    EXPECT_EQ(text("lblpFS1"), "400");
    EXPECT_EQ(text("lblRegDat_1"), "----");
    EXPECT_EQ(text("lblRegDat_5"), "____");
    EXPECT_EQ(ForeColor(control("lblReg_5")), SystemColor(QPalette::Disabled, QPalette::WindowText));
    EXPECT_TRUE(text("lblInterface").startsWith("No interface"));
    EXPECT_FALSE(control<QAbstractButton>("ckLoop")->isChecked());

    // "Read" and "Read Status" do nothing without an interface.
    click("cmdReadData");
    click("CmdUpdateStatus");
    EXPECT_TRUE(framesOut().empty());
    EXPECT_EQ(text("lblLowSupplyFlag"), "----");
}

TEST_F(MainWindowLoad, AnUnknownInterfaceNumberCountsAsNone)
{
    load(7);
    EXPECT_EQ(ui.texts(), QStringList{NoInterface});
    EXPECT_EQ(g.InterfaceType, 0);
}

TEST_F(MainWindowLoad, UsbOnWindows95IsRefusedAndItsMenuItemHidden)
{
    sim.os().set({1, 4, 0, 950});
    load(2);

    EXPECT_EQ(g.OsName, "Win95");
    EXPECT_EQ(ui.texts(), QStringList{NoUsbOn95});
    EXPECT_EQ(g.InterfaceType, 0);
    EXPECT_FALSE(action("mnuUsb")->isVisible());
    EXPECT_FALSE(action("mnuUsb")->isChecked());
    EXPECT_TRUE(framesOut().empty());
}

TEST_F(MainWindowLoad, ParallelPortOnWindows98NeedsNoDriver)
{
    sim.os().set({1, 4, 10, 2222});
    load(1);

    EXPECT_EQ(g.OsName, "Win98");
    EXPECT_TRUE(ui.texts().isEmpty());
    EXPECT_TRUE(sim.processes().commandLines().isEmpty());
    EXPECT_EQ(sim.parallelPort().giveioCalls(), 0);
    EXPECT_FALSE(g.PortDriverReady);
    EXPECT_TRUE(action("mnuPort")->isChecked());
    // The sensor is read through the port all the same.
    EXPECT_FALSE(sim.parallelPort().frames().empty());
    EXPECT_NEAR(text("lblRegDat_1").toDouble(), 5.0, 0.1);
}

TEST_F(MainWindowLoad, ParallelPortOnWindowsXpInstallsTheDriverOncePerRun)
{
    load(1);

    EXPECT_TRUE(ui.texts().isEmpty());
    EXPECT_EQ(sim.processes().commandLines().size(), 1);
    EXPECT_EQ(sim.parallelPort().giveioCalls(), 1);
    EXPECT_TRUE(g.PortDriverReady);
    EXPECT_TRUE(action("mnuPort")->isChecked());
    EXPECT_NEAR(text("lblRegDat_1").toDouble(), 5.0, 0.1);
    // The simulation keeps the installer's batch file out of the program's and the
    // current folder (both the test's folder here).
    EXPECT_EQ(g.ProgramFolder, ".");
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("temp.bat")));

    // The port setup window's OK in the same run leaves the driver alone.
    QTimer::singleShot(0, [] {
        auto* modal = QApplication::activeModalWidget();
        QTest::mouseClick(modal->findChild<QAbstractButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    action("mnuPort")->trigger();
    EXPECT_EQ(sim.processes().commandLines().size(), 1);
    EXPECT_EQ(sim.parallelPort().giveioCalls(), 1);
    EXPECT_EQ(g.InterfaceType, 1);
    EXPECT_TRUE(action("mnuPort")->isChecked());
}

// A port that cannot be used would read as zeros: its message is shown and the
// program starts without an interface, reading nothing.
TEST_F(MainWindowLoad, PortThatCannotBeUsedIsShownAndLeavesNoInterface)
{
    struct Case {
        const char* name;
        std::function<void(sim::SimParallelPort&)> fault;
        QString message; // the start of the first message
    };
    const Case cases[] = {
        {"access refused",
         [](sim::SimParallelPort& p) { p.setGiveioFailure("No access to the parallel port."); },
         "No access to the parallel port."},
        {"unclaimable", [](sim::SimParallelPort& p) { p.setUnclaimable(true); },
         "The simulated parallel port at 378 opened but could not be claimed"},
        {"no port there", [](sim::SimParallelPort& p) { p.setBaseAddress(0x278); },
         "No parallel port at address 378"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        c.fault(sim.parallelPort());
        load(1);
        ASSERT_FALSE(ui.texts().isEmpty());
        EXPECT_TRUE(ui.texts().front().startsWith(c.message)) << ui.texts().front().toStdString();
        EXPECT_EQ(g.InterfaceType, 0);
        EXPECT_FALSE(action("mnuPort")->isChecked());
        EXPECT_TRUE(framesOut().empty());
        EXPECT_EQ(text("lblRegDat_1"), "----");
        sim.parallelPort().setGiveioFailure({});
        sim.parallelPort().setUnclaimable(false);
        sim.parallelPort().setBaseAddress(0x378);
        g.PortDriverReady = false;
    }
}

TEST_F(MainWindowLoad, UsbCardMissingOpensTheSelectionAndLeavesNoInterface)
{
    sim.usb().detachCard(0);
    closeNextModal();
    load(2);

    // The search's own message and the selection window (closed by the test with no
    // card); then the interface drops to none and nothing is read or shown as a reading.
    ASSERT_FALSE(ui.texts().isEmpty());
    EXPECT_FALSE(ui.texts().contains(SupplyLow));
    EXPECT_NE(form->findChild<QDialog*>(QStringLiteral("frmUSBselect")), nullptr);
    EXPECT_FALSE(g.UsbCardReady);
    EXPECT_EQ(g.InterfaceType, 0);
    EXPECT_FALSE(action("mnuUsb")->isChecked());
    EXPECT_TRUE(framesOut().empty());
    EXPECT_NE(text("lblRegDat_1"), "0.00");
}

TEST_F(MainWindowLoad, LowSupplyAtLoadIsReported)
{
    sim.sensor().setSupplyVolts(2.8);
    sim.fakeClock()->advance(0.1); // the sensor samples the new supply
    load(2);
    EXPECT_EQ(ui.texts(), QStringList{SupplyLow});
    EXPECT_NEAR(text("lblRegDat_1").toDouble(), 2.8, 0.02);
    // 2.8 V is above the 2.6 V warning colour.
    EXPECT_EQ(backColor("lblRegDat_1"), QColor(255, 255, 255));
}

TEST_F(MainWindowLoad, DeviceMenuSelectsTheModelAndResetsTheRanges)
{
    load(2);
    click("cmdScaleGyro");
    click("cmdScaleAcc");
    EXPECT_EQ(text("lblpFS1"), "200");

    action("mnu27130")->trigger();
    EXPECT_EQ(g.ProductNumber, 27130);
    EXPECT_TRUE(action("mnu27130")->isChecked());
    EXPECT_FALSE(action("mnu27140")->isChecked());
    EXPECT_EQ(control<QGroupBox>("FrameDataPLot")->title(), "Data Plot   Device = 27130");
    // Ranges back to +-400 and (90, -45); middle values 0 and 22.5.
    EXPECT_EQ(text("lblpFS1"), "400");
    EXPECT_EQ(text("lblmidS1"), "0");
    EXPECT_EQ(text("lblnFS1"), "-400");
    EXPECT_EQ(text("lblpFS2"), "90");
    EXPECT_EQ(text("lblmidS2"), "22.5");
    EXPECT_EQ(text("lblnFS2"), "-45");

    // Choosing the checked model again keeps it checked.
    action("mnu27130")->trigger();
    action("mnu27130")->trigger();
    EXPECT_TRUE(action("mnu27130")->isChecked());
}

TEST_F(MainWindowLoad, UsbMenuWithNoCardLeavesNoInterface)
{
    load(1);
    sim.usb().detachCard(0);
    closeNextModal();
    action("mnuUsb")->trigger();
    EXPECT_EQ(g.InterfaceType, 0);
    EXPECT_FALSE(action("mnuUsb")->isChecked());
    EXPECT_FALSE(action("mnuPort")->isChecked());
}

TEST_F(MainWindowLoad, PortSetupCancelledKeepsTheUsbCard)
{
    load(2);
    closeNextModal();
    action("mnuPort")->trigger();
    EXPECT_EQ(g.InterfaceType, 2);
    EXPECT_TRUE(action("mnuUsb")->isChecked());
    EXPECT_FALSE(action("mnuPort")->isChecked());
}

TEST_F(MainWindowLoad, EveryMenuWindowIsAvailable)
{
    load(0);
    for (const char* name :
         {"MnuCal", "mnuOperation", "MnuAlarms", "mnuDatalog", "mnuNoiseAnalysis", "mnuRegisters", "MnuExit"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
}

TEST_F(MainWindowLoad, ExitWritesTheSettingsFileAndEndsTheProgram)
{
    load(2);
    g.PortAddress = 632;
    QSignalSpy ended(form.get(), &frmForm1::programEnded);
    const double before = sim.fakeClock()->monotonicSeconds();

    action("MnuExit")->trigger();

    EXPECT_EQ(ended.count(), 1);
    EXPECT_NEAR(sim.fakeClock()->monotonicSeconds() - before, 0.25, 1e-6); // the 250 ms wait
    QFile file(QStringLiteral("CommPort.cfg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Interface =  2\r\nPort Address =  632\r\nFactory =  0\r\n"
                                         "Product =  27140\r\n"));
    // A second close (the window system's, after Exit) does not write again.
    file.close(); // Windows removes no file still open
    ASSERT_TRUE(QFile::remove(QStringLiteral("CommPort.cfg")));
    form->close();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(QFile::exists(QStringLiteral("CommPort.cfg")));
}

TEST_F(MainWindowLoad, ASettingsFileThatCannotBeWrittenIsToldWithItsPathAndReason)
{
    load(2);
    ui.clear();
    // A folder where the file should be: no file can replace it, for root neither.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("CommPort.cfg")));
    action("MnuExit")->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    const QString shown = ui.messages[0].text;
    EXPECT_TRUE(shown.startsWith(QStringLiteral("The interface settings could not be saved to ") +
                                 QDir::toNativeSeparators(QDir::current().absoluteFilePath("CommPort.cfg")) +
                                 QStringLiteral(": ")))
        << shown.toStdString();
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(QFileInfo(QStringLiteral("CommPort.cfg")).isDir());
}

TEST_F(MainWindowLoad, SettingsAreWrittenWhereTheStartFoundThem)
{
    ASSERT_TRUE(
        QDir(dir.path()).mkpath(QStringLiteral("config/gyroeval"))); // as the program's start makes it
    g.SettingsFile = dir.filePath(QStringLiteral("config/gyroeval/CommPort.cfg"));
    load(2);
    action("MnuExit")->trigger();
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(QFile::exists(g.SettingsFile));
    EXPECT_FALSE(QFile::exists(QStringLiteral("CommPort.cfg")));
}
