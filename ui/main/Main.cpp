#include "Main.h"

#include "InterfaceSettings.h"
#include "Timing.h"

#include <QLabel>

namespace gyro {

QString StartUpMessage()
{
    return QStringLiteral("\r\nLOADING...\r\n\r\nSetting up Delay function");
}

ProgramWindows Main(GyroState& g, const StopRequested& stopRequested)
{
    ProgramWindows windows;
    const auto stopNow = [&] {
        windows.stopped = stopRequested && stopRequested();
        return windows.stopped;
    };
    windows.message = std::make_unique<frmMsg>(g);
    frmMsg& message = *windows.message;
    message.Form_Load();
    message.show();
    message.lblMsg()->setText(StartUpMessage());
    message.activateWindow();
    g.ui.yield(); // paint the message before the calibration holds the thread

    g.DelayCalibrated = false;
    CalibrateDelay(g);
    if (stopNow())
        return windows; // nothing read yet, so nothing to keep
    SetInterfaceDefaults(g);
    LoadInterfaceSettings(g);
    windows.loadedSettings = InterfaceValuesOf(g);

    message.lblMsg()->setText(QStringLiteral(" "));
    message.hide();
    if (stopNow())
        return windows;

    windows.main = std::make_unique<frmForm1>(g);
    windows.main->Form_Load();
    if (stopNow())
        return windows;
    windows.main->show();
    return windows;
}

} // namespace gyro
