// The "Output  Registers" panel: one readout pass or a loop of them, the supply
// warning colour, the loop delay and the angle row.
#include "frmForm1.h"

#include "NumberText.h"
#include "RegisterAccess.h"
#include "RegisterBurst.h"
#include "Timing.h"
#include "WidgetText.h"
#include "ui_frmForm1.h"

#include <array>
#include <cmath>
#include <limits>

namespace gyro {

namespace {
const QString ReadCaption = QStringLiteral("Read");
const QString StopCaption = QStringLiteral("STOP");
const QColor SupplyLow(255, 0, 0);
const QColor SupplyGood(255, 255, 255);
constexpr double SupplyLimit = 2.6;
// A running loop shows its readings at most 30 times a second, faster than
// anyone reads numbers: showing every pass (up to two hundred a second) only
// makes Qt measure and lay out the window again each time. The charts still
// draw every pass.
constexpr qint64 ReadingsIntervalMs = 33;
} // namespace

const QString NoReading = QStringLiteral("----");

void frmForm1::ReadData()
{
    YValues Yvalue{};
    do {
        const std::optional<std::int32_t> burstStatus = readOutputs(Yvalue);
        if (loopRunning() && sinceReadingsShown_.isValid() &&
            sinceReadingsShown_.elapsed() < ReadingsIntervalMs)
            readingsNotShown_ = Yvalue;
        else
            showReadings(Yvalue);
        g.ui.yield();
        if (unloaded_)
            return;
        if (g.InterfaceType == 0) {
            // No interface was chosen during the yield: the rows and flags show "----"
            // now, and the readings taken before must not come back over them.
            readingsNotShown_.reset();
            return;
        }
        PlotDataPointsGy(Yvalue, GyroHiPk, GyroLowPk);
        PlotDataPointsAcc(Yvalue, TempHiPk, TempLowPk);
        if (!g.ReadoutBurst)
            CmdUpdateStatus_Click();
        else if (burstStatus)
            showStatusWord(*burstStatus);
        else if (g.InterfaceType != 0)
            showStatusUnknown(); // a status that was not read is no "OK"
        showInterfaceState();    // a card that stopped answering says so
        DelayMs(g, static_cast<float>(TextNumber(ui->txtLoopDelay->text())));
    } while (loopRunning() && !unloaded_);
    // The loop's last readings, unless a pass made since (a click during the loop) showed its own.
    if (readingsNotShown_ && !unloaded_)
        showReadings(*readingsNotShown_);
}

std::optional<std::int32_t> frmForm1::readOutputs(YValues& Yvalue)
{
    constexpr float NoPoint = std::numeric_limits<float>::quiet_NaN();
    if (!g.ReadoutBurst) {
        for (int i = Idx_Supply_Out; i <= Idx_ANGL_OUT; ++i) {
            // A failed read shows no number and gives the charts no point (NaN).
            Yvalue[i] = ReadRegister(g, i) ? g.RegValue : NoPoint;
        }
        return std::nullopt;
    }
    static constexpr std::array<int, 6> PassRegisters{Idx_Supply_Out, Idx_Gyro_Out, Idx_Aux_ADC,
                                                      Idx_Temp_Out,   Idx_ANGL_OUT, Idx_Status};
    std::array<RegisterReading, PassRegisters.size()> readings{};
    const bool read = ReadRegisterBurst(g, PassRegisters, readings);
    for (int i = Idx_Supply_Out; i <= Idx_ANGL_OUT; ++i)
        Yvalue[i] = read ? readings[static_cast<std::size_t>(i - Idx_Supply_Out)].RegValue : NoPoint;
    if (!read)
        return std::nullopt;
    return readings.back().RegWord;
}

bool frmForm1::loopRunning() const
{
    return ui->cmdReadData->text() == StopCaption && ui->ckLoop->isChecked();
}

void frmForm1::showReadings(const YValues& Yvalue)
{
    for (int i = Idx_Supply_Out; i <= Idx_ANGL_OUT; ++i) {
        const bool read = !std::isnan(Yvalue[i]);
        // A disabled angle row is still read; only its display is skipped.
        if (i != Idx_ANGL_OUT || angleRowEnabled_)
            SetText(lblRegDat[i], read ? FormatNumber(Yvalue[i], QStringLiteral("0.00")) : NoReading);
        if (i == Idx_Supply_Out && read)
            showSupplyWarning();
    }
    sinceReadingsShown_.start();
    readingsNotShown_.reset();
}

// The displayed two-decimal text decides, not the value read: exactly 2.60 keeps
// whatever colour the label had.
void frmForm1::showSupplyWarning()
{
    const double shown = TextNumber(lblRegDat[Idx_Supply_Out]->text());
    if (shown < SupplyLimit)
        SetBackColor(lblRegDat[Idx_Supply_Out], SupplyLow);
    else if (shown > SupplyLimit)
        SetBackColor(lblRegDat[Idx_Supply_Out], SupplyGood);
}

void frmForm1::showNoReadings()
{
    for (int i = Idx_Supply_Out; i <= Idx_ANGL_OUT; ++i) {
        if (i != Idx_ANGL_OUT || angleRowEnabled_)
            SetText(lblRegDat[i], NoReading);
    }
    showStatusUnknown();
}

void frmForm1::cmdReadData_Click()
{
    if (g.InterfaceType == 0)
        return;
    if (ui->ckLoop->isChecked())
        ui->cmdReadData->setText(ui->cmdReadData->text() == ReadCaption ? StopCaption : ReadCaption);
    g.ui.yield();
    if (unloaded_)
        return;
    // A click during a running loop lands here too (nested in its yield): it turns
    // the caption back to "Read", makes one pass, and the outer loop then ends.
    ReadData();
}

void frmForm1::endReadoutLoop()
{
    if (ui->cmdReadData->text() == StopCaption)
        ui->cmdReadData->setText(ReadCaption);
}

void frmForm1::ckLoop_Click()
{
    if (!ui->ckLoop->isChecked() && ui->cmdReadData->text() == StopCaption)
        ui->cmdReadData->setText(ReadCaption);
}

// Each replacement runs this handler again, so the text settles within 0..1000.
void frmForm1::txtLoopDelay_Change()
{
    QLineEdit* box = ui->txtLoopDelay;
    if (!IsNumeric(box->text())) {
        box->setText(QStringLiteral("0"));
        return;
    }
    if (TextNumber(box->text()) > 1000)
        box->setText(QStringLiteral("1000"));
    if (TextNumber(box->text()) < 0)
        box->setText(QStringLiteral("0"));
}

void frmForm1::lblReg_Click(int Index)
{
    if (Index != Idx_ANGL_OUT)
        return;
    if (!angleRowEnabled_) {
        setAngleRowEnabled(true);
        WriteRegister(g, Idx_ANGL_OUT, 0); // the angle restarts from zero
    } else {
        setAngleRowEnabled(false);
    }
}

void frmForm1::setAngleRowEnabled(bool enabled)
{
    angleRowEnabled_ = enabled;
    QLabel* caption = lblReg[Idx_ANGL_OUT];
    if (enabled) {
        SetForeColor(caption, SystemColor(QPalette::Active, QPalette::ButtonText));
        caption->setToolTip(QStringLiteral("Click to disable Angle_Out"));
    } else {
        SetForeColor(caption, SystemColor(QPalette::Disabled, QPalette::WindowText));
        lblRegDat[Idx_ANGL_OUT]->setText(QStringLiteral("____"));
        caption->setToolTip(QStringLiteral("Click to enable Angle_Out"));
    }
}

} // namespace gyro
