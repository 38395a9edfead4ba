// The program's start: message window, calibration, settings file, main window.
#include "Main.h"
#include "MainWindowFixture.h"
#include "NumberText.h"
#include "Screenshot.h"

#include <QFile>

using namespace gyro;
using namespace gyro::test;

using StartUp = MainWindowTest;

TEST_F(StartUp, ShowsTheMessageCalibratesReadsTheSettingsAndOpensTheMainWindow)
{
    QFile file(QStringLiteral("CommPort.cfg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Product = 27130\r\nInterface = 2\r\n");
    file.close();
    g.DelayCalibrated = false;
    g.UsbSpiPolarity = false; // the defaults come back before the file is read

    QString messageShown;
    bool messageVisible = false;
    bool busyDuringFirstYield = true;
    QWidget* messageWindow = nullptr;
    ui.onYield = [&] {
        if (ui.yields != 1)
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("frmMsg"))
                messageWindow = w;
        }
        ASSERT_NE(messageWindow, nullptr);
        messageVisible = messageWindow->isVisible();
        messageShown = messageWindow->findChild<QLabel*>(QStringLiteral("lblMsg"))->text();
        busyDuringFirstYield = ui.busyCursor;
        SaveScreenshot(*messageWindow, QStringLiteral("frmMsg"));
    };

    ProgramWindows windows = Main(g);

    EXPECT_TRUE(messageVisible);
    EXPECT_EQ(messageShown, "\r\nLOADING...\r\n\r\nSetting up Delay function");
    EXPECT_FALSE(busyDuringFirstYield); // the message is painted before the hourglass
    EXPECT_EQ(windows.message->windowTitle(), g.AppTitle);
    EXPECT_FALSE(windows.message->isVisible());
    EXPECT_EQ(windows.message->lblMsg()->text(), " ");

    EXPECT_TRUE(g.DelayCalibrated);
    EXPECT_EQ(g.LoopsPer10us, 10000); // 1 ns per turn on the simulated PC
    EXPECT_GE(ui.busyCursorChanges, 2);
    EXPECT_FALSE(ui.busyCursor);

    EXPECT_TRUE(g.UsbSpiPolarity);
    EXPECT_EQ(g.InterfaceType, 2);
    EXPECT_EQ(g.ProductNumber, 27130);
    EXPECT_EQ(g.Reg[Idx_Gyro_Out].RegName, "Gyro_Out");
    ASSERT_NE(windows.main, nullptr);
    EXPECT_TRUE(windows.main->isVisible());
    EXPECT_TRUE(windows.main->windowTitle().startsWith(QStringLiteral("Korvex - ")));
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join(QLatin1Char('|')).toStdString();
}

TEST_F(StartUp, WithoutSettingsFileNoInterfaceIsChosen)
{
    // The message of the load shows over the start-up window, never over nothing.
    bool startUpWindowBehind = false;
    ui.onMessage = [&](const QString&) {
        for (QWidget* w : QApplication::topLevelWidgets())
            startUpWindowBehind |= w->objectName() == QLatin1String("frmMsg") && w->isVisible();
    };
    ProgramWindows windows = Main(g);
    EXPECT_EQ(g.InterfaceType, 0);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Please select an interface before taking data")});
    EXPECT_TRUE(startUpWindowBehind);
    EXPECT_FALSE(windows.message->isVisible());
    EXPECT_TRUE(windows.main->isVisible());
}

// The desktop entry's simulated action: --interface usb --start-reading on an account
// that has no CommPort.cfg reads live values, and the file keeps no interface.
TEST_F(StartUp, InterfaceOfTheCommandLineReadsLiveWithoutSettingsFile)
{
    ProgramWindows windows = Main(g, {}, std::int16_t{2});
    ASSERT_NE(windows.main, nullptr);
    EXPECT_TRUE(ui.texts().isEmpty()) << ui.texts().join(QLatin1Char('|')).toStdString();
    auto* loop = windows.main->findChild<QAbstractButton*>(QStringLiteral("ckLoop"));
    ASSERT_TRUE(loop->isChecked());
    sim.sensor().clearTrace();

    const int yieldsBefore = ui.yields;
    ui.onYield = [&] {
        if (ui.yields > yieldsBefore + 20)
            loop->setChecked(false);
    };
    windows.main->StartReadoutLoop();
    int rateReads = 0;
    for (const auto& frame : sim.sensor().trace())
        rateReads += frame.out == GyroAddress << 8 ? 1 : 0;
    EXPECT_GE(rateReads, 10); // the loop ran pass after pass
    EXPECT_TRUE(IsNumeric(windows.main->lblRegDat[Idx_Gyro_Out]->text()))
        << windows.main->lblRegDat[Idx_Gyro_Out]->text().toStdString();

    windows.main->close();
    QFile file(QStringLiteral("CommPort.cfg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("Interface =  0\r\n")); // this run's interface is not kept
}
