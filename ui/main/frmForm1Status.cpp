// The "Status Register", "Self Test" and "Powerdown" panels.
#include "frmForm1.h"

#include "InterfaceSettings.h"
#include "NumberText.h"
#include "RegisterAccess.h"
#include "Timing.h"
#include "WidgetText.h"
#include "ui_frmForm1.h"

#include <algorithm>
#include <cmath>

namespace gyro {

namespace {

const QColor FlagAlarm(255, 0, 0);
const QColor FlagOk(0, 255, 0);

// Status word bits shown on screen and the flag label of each; the other bits
// (6, 7, 10..15) are not shown.
struct StatusFlag {
    int bit;
    QLabel* Ui::frmForm1::*label;
};
constexpr StatusFlag StatusFlags[] = {
    {0, &Ui::frmForm1::lblLowSupplyFlag}, {1, &Ui::frmForm1::lblHighSupplyFlag},
    {2, &Ui::frmForm1::lblWriteFailFlag}, {3, &Ui::frmForm1::lblSpiWriteFlag},
    {4, &Ui::frmForm1::lblGyroOR},        {5, &Ui::frmForm1::lblSTFail},
    {8, &Ui::frmForm1::lblAlarm1SetFlag}, {9, &Ui::frmForm1::lblAlarm2SetFlag},
};

constexpr std::int32_t SelfTestBit = 0x0100;
// How often the power-down count shows the time and lets the window system run:
// the display's tenths move at least every 0.1 s, and clicks are answered within 20 ms.
constexpr double PowerDownPassSeconds = 0.02;

} // namespace

void frmForm1::CmdUpdateStatus_Click()
{
    if (ChosenInterface(g) == InterfaceKind::None)
        return;
    const RegisterRead status = ReadRegister(g, Idx_Status);
    if (!status) {
        showStatusUnknown(); // a status that was not read is no "OK"
        return;
    }
    showStatusWord(status->RegWord);
}

void frmForm1::showStatusWord(std::int32_t status)
{
    for (const StatusFlag& flag : StatusFlags) {
        QLabel* label = (*ui).*flag.label;
        const bool set = (status >> flag.bit & 1) != 0;
        SetBackColor(label, set ? FlagAlarm : FlagOk);
        SetText(label, set ? QStringLiteral("Alarm") : QStringLiteral("OK"));
    }
}

void frmForm1::showStatusUnknown()
{
    for (const StatusFlag& flag : StatusFlags) {
        QLabel* label = (*ui).*flag.label;
        SetBackColor(label, SystemColor(QPalette::Active, QPalette::Window));
        SetText(label, NoReading);
    }
}

// The self-test buttons edit the shadow copy of Msc_Ctrl and write it; they never
// read the register themselves.
void frmForm1::optSTON_Click()
{
    g.MscCtrlShadow |= SelfTestBit;
    WriteRegister(g, Idx_Msc_Ctrl, g.MscCtrlShadow);
}

// "OFF" clears the whole upper byte, not only the self-test bit.
void frmForm1::optSTOFF_Click()
{
    g.MscCtrlShadow &= 0x00FF;
    WriteRegister(g, Idx_Msc_Ctrl, g.MscCtrlShadow);
}

// The sensor counts power-down time in half seconds. The elapsed time comes from
// the monotonic clock, so a run across midnight counts correctly. The window stays
// responsive through the yields; a second "Run" runs nested inside this one.
// Between two passes the count sleeps on the monotonic clock, so it leaves the
// processor free instead of spinning through yields for the whole time.
void frmForm1::cmdPowerDown_Click()
{
    const double seconds = TextNumber(ui->txtPowerDown->text());
    const auto halfSeconds = static_cast<std::int32_t>(std::clamp(std::trunc(2 * seconds), 0.0, 255.0));
    WriteRegister(g, Idx_Pwr_Mde, halfSeconds);

    Clock& clock = g.platform.clock;
    const double start = clock.monotonicSeconds();
    // Compared as clock readings, so a sleep that ends exactly on the deadline ends the count.
    const double deadline = start + seconds;
    double now = clock.monotonicSeconds();
    while (now < deadline && !unloaded_) {
        const double passStart = clock.monotonicSeconds();
        SetText(ui->lblPDElapsed, FormatNumber(now - start, QStringLiteral("##0.0")));
        now = clock.monotonicSeconds();
        g.ui.yield();
        // A pass that the yield (clicks, a nested loop) already made long enough does not sleep.
        clock.sleepUntil(std::min(deadline, passStart + PowerDownPassSeconds));
    }
    if (unloaded_)
        return;
    DelayMs(g, 200);
}

// Each replacement runs this handler again, so the text settles within 0..127.5.
void frmForm1::txtPowerDown_Change()
{
    // The replacements carry the locale's decimal mark, so they read back as the
    // numbers they mean ("127,5" where the mark is a comma).
    QLineEdit* box = ui->txtPowerDown;
    const QString zero = FormatNumber(0.0, QStringLiteral("0.0"));
    if (!IsNumeric(box->text()))
        box->setText(zero);
    if (TextNumber(box->text()) > 127.5)
        box->setText(FormatNumber(127.5, QStringLiteral("0.0")));
    if (TextNumber(box->text()) < 0)
        box->setText(zero);
}

} // namespace gyro
