#include "Main.h"

#include "InterfaceSettings.h"
#include "Timing.h"

#include <QLabel>
#include <QWindow>

namespace gyro {

namespace {

// A window manager maps a new window some time after show(): yields (at most
// about a second) until the window is on screen, then paints it at once, before
// the calibration holds the thread.
void paintBeforeTheCalibration(GyroState& g, QWidget& window)
{
    constexpr int MaxWaits = 100;
    Clock& clock = g.platform.clock;
    for (int wait = 0; wait < MaxWaits; ++wait) {
        g.ui.yield();
        if (window.windowHandle() != nullptr && window.windowHandle()->isExposed())
            break;
        clock.sleepUntil(clock.monotonicSeconds() + 0.01);
    }
    window.repaint();
}

} // namespace

QString StartUpMessage()
{
    return QStringLiteral("\r\nLOADING...\r\n\r\nSetting up Delay function");
}

ProgramWindows Main(GyroState& g, const StopRequested& stopRequested,
                    std::optional<std::int16_t> interfaceForThisRun)
{
    ProgramWindows windows;
    windows.interfaceForThisRun = interfaceForThisRun;
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
    paintBeforeTheCalibration(g, message);

    g.DelayCalibrated = false;
    CalibrateDelay(g);
    if (stopNow())
        return windows; // nothing read yet, so nothing to keep
    SetInterfaceDefaults(g);
    LoadInterfaceSettings(g, g.SettingsFile);
    windows.loadedSettings = InterfaceValuesOf(g);
    if (interfaceForThisRun)
        g.InterfaceType = *interfaceForThisRun;
    InitRegisterMap(g);

    // The start-up window stays up while the main window loads, so a message of
    // the load has a window of the program behind it.
    const auto hideMessage = [&message] {
        message.lblMsg()->setText(QStringLiteral(" "));
        message.hide();
    };
    if (stopNow()) {
        hideMessage();
        return windows;
    }

    windows.main = std::make_unique<frmForm1>(g);
    if (interfaceForThisRun)
        windows.main->KeepFileInterface(windows.loadedSettings->InterfaceType);
    windows.main->Form_Load();
    if (!stopNow())
        windows.main->show();
    hideMessage();
    return windows;
}

} // namespace gyro
