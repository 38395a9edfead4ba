// The two strip charts under "Data Plot": one sample each per readout pass, the
// "Scale" buttons and the pointer readout.
#include "frmForm1.h"

#include "ChartKeeper.h"
#include "NumberText.h"
#include "StripChart.h"
#include "WidgetText.h"
#include "ui_frmForm1.h"

#include <QDateTime>
#include <cmath>

namespace gyro {

namespace {

// Top, middle and bottom value of a chart's range, in the general number format.
void showRange(QLabel* top, QLabel* middle, QLabel* bottom, double hiPk, double lowPk)
{
    SetText(bottom, GeneralFormat(lowPk));
    SetText(middle, GeneralFormat(lowPk + (hiPk - lowPk) / 2));
    SetText(top, GeneralFormat(hiPk));
}

} // namespace

// A paused chart's labels stay with its frozen picture; resuming shows the range now.
bool frmForm1::chartsPaused() const
{
    return chartKeeper_ != nullptr && chartKeeper_->paused();
}

void frmForm1::showRateRange()
{
    if (!chartsPaused())
        showRange(ui->lblpFS1, ui->lblmidS1, ui->lblnFS1, GyroHiPk, GyroLowPk);
}

void frmForm1::showTemperatureRange()
{
    if (!chartsPaused())
        showRange(ui->lblpFS2, ui->lblmidS2, ui->lblnFS2, TempHiPk, TempLowPk);
}

// The labels show the range as it came in; a repaired zero-height range shows
// from the next sample on. A value that was not read (NaN) draws no point: the
// sweep waits for the next reading.
void frmForm1::PlotDataPointsGy(const YValues& Yvalue, double& HiPk, double& LowPk)
{
    if (!chartsPaused())
        showRange(ui->lblpFS1, ui->lblmidS1, ui->lblnFS1, HiPk, LowPk);
    if (!std::isnan(Yvalue[Idx_Gyro_Out]))
        ui->pic1->plot(Yvalue[Idx_Gyro_Out], HiPk, LowPk);
}

void frmForm1::PlotDataPointsAcc(const YValues& Yvalue, double& HiPk, double& LowPk)
{
    if (!chartsPaused())
        showRange(ui->lblpFS2, ui->lblmidS2, ui->lblnFS2, HiPk, LowPk);
    if (!std::isnan(Yvalue[Idx_Temp_Out]))
        ui->pic2->plot(Yvalue[Idx_Temp_Out], HiPk, LowPk);
}

// The new range applies from the next sample; what is drawn stays until the
// sweep passes over it.
void frmForm1::cmdScaleGyro_Click()
{
    rateScale_.click(g.ProductNumber, GyroHiPk, GyroLowPk);
    showRateRange();
}

void frmForm1::cmdScaleAcc_Click()
{
    temperatureScale_.click(g.ProductNumber, TempHiPk, TempLowPk);
    showTemperatureRange();
}

QString frmForm1::chartCaption() const
{
    QString caption = QStringLiteral("%1, device %2, %3")
                          .arg(g.AppTitle, QString::number(g.ProductNumber),
                               QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (!g.platform.description.isEmpty())
        caption += QStringLiteral(", ") + g.platform.description;
    return caption;
}

void frmForm1::pic1_MouseMove(double X, double Y)
{
    SetText(ui->lblCurSam1, FormatNumber(RoundHalfEven(X), QStringLiteral("0")));
    SetText(ui->lblCurVal1, FormatNumber(RoundHalfEven(Y), QStringLiteral("0")));
}

void frmForm1::pic2_MouseMove(double X, double Y)
{
    SetText(ui->lblCurSam2, FormatNumber(RoundHalfEven(X), QStringLiteral("0")));
    SetText(ui->lblCurVal2, FormatNumber(RoundHalfEven(Y * 10) / 10, QStringLiteral("0.0")));
}

} // namespace gyro
