#include "Main.h"

#include "InterfaceSettings.h"
#include "Timing.h"

#include <QLabel>

namespace gyro {

QString StartUpMessage()
{
    return QStringLiteral("\r\nLOADING...\r\n\r\nSetting up Delay function");
}

ProgramWindows Main(GyroState& g)
{
    ProgramWindows windows;
    windows.message = std::make_unique<frmMsg>(g);
    frmMsg& message = *windows.message;
    message.Form_Load();
    message.show();
    message.lblMsg()->setText(StartUpMessage());
    message.activateWindow();
    g.ui.yield(); // paint the message before the calibration holds the thread

    g.DelayCalibrated = false;
    CalibrateDelay(g);
    SetInterfaceDefaults(g);
    LoadInterfaceSettings(g);
    InitRegisterMap(g);

    message.lblMsg()->setText(QStringLiteral(" "));
    message.hide();

    windows.main = std::make_unique<frmForm1>(g);
    windows.main->Form_Load();
    windows.main->show();
    return windows;
}

} // namespace gyro
