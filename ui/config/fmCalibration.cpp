#include "fmCalibration.h"

#include "BiasAveraging.h"
#include "HexText.h"
#include "NumberText.h"
#include "OffsetEntry.h"
#include "PendingChange.h"
#include "SensorCommands.h"
#include "WidgetText.h"
#include "WindowBehaviour.h"
#include "ui_fmCalibration.h"

namespace gyro {

namespace {
const QString RunCaption = QStringLiteral("Run");
const QString StopCaption = QStringLiteral("STOP");
const QString NoReading = QStringLiteral("---");
const QString NoAnswer = QStringLiteral("----");
} // namespace

fmCalibration::fmCalibration(GyroState& gIn, QWidget* mainWindow)
    : QDialog(mainWindow), g(gIn), ui(std::make_unique<Ui::fmCalibration>())
{
    ui->setupUi(this);
    UseFixedPitchFont(*ui->lblGX);
    // Markers and run labels come and go without moving the controls around them.
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->Line1, ui->Line2, ui->LbLInProgress, ui->lblAvgCount}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    connect(ui->cmdAvgCalc, &QPushButton::clicked, this, &fmCalibration::cmdAvgCalc_Click);
    connect(ui->cmdAutoNull, &QPushButton::clicked, this, &fmCalibration::cmdAutoNull_Click);
    connect(ui->cmdFactoryCal, &QPushButton::clicked, this, &fmCalibration::cmdFactoryCal_Click);
    connect(ui->cmdCal_GX, &QPushButton::clicked, this, &fmCalibration::cmdCal_GX_Click);
    connect(ui->cmdFlash, &QPushButton::clicked, this, &fmCalibration::cmdFlash_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &fmCalibration::cmdClose_Click);
    PlaceAtMainWindowCorner(*this, mainWindow);
}

fmCalibration::~fmCalibration() = default;

void fmCalibration::Form_Load()
{
    closing_ = false;
    ReadCalRegisters();
    ui->LbLInProgress->hide();
    ui->lblAvgCount->hide();
    ui->txtSec->setText(QStringLiteral("10"));
    ui->lblGyro_Out->setText(NoReading);
    ui->lblAvg->setText(NoReading);
}

void fmCalibration::showOffset(const std::optional<OffsetReading>& reading)
{
    if (!reading) {
        // The offset is not known: no number in either place.
        ui->lblGX->setText(NoAnswer);
        ui->txtGX->clear();
        return;
    }
    ui->lblGX->setText(ValueToHex4(reading->word));
    ui->txtGX->setText(GyroOffsetText(reading->degPerSec));
}

void fmCalibration::ReadCalRegisters()
{
    showOffset(ReadGyroOffset(g));
}

void fmCalibration::cmdAvgCalc_Click()
{
    ui->cmdAvgCalc->setText(ui->cmdAvgCalc->text() == RunCaption ? StopCaption : RunCaption);
    g.ui.yield();
    // A click during a run lands here nested in its yield: it only turns the caption
    // back to "Run", and the run ends at its next test.
    if (ui->cmdAvgCalc->text() == StopCaption && !closing_)
        AVGCalc();
}

void fmCalibration::AVGCalc()
{
    ui->LbLInProgress->show();
    ui->lblAvgCount->hide();
    ui->cmdAvgCalc->setText(StopCaption);

    const double entered = TextNumber(ui->txtSec->text());
    const double seconds = LimitedAveragingSeconds(entered);
    if (seconds != entered)
        ui->txtSec->setText(GeneralFormat(seconds));

    AveragingHooks hooks;
    hooks.runStarted = [this] {
        // What the run measures against: offset 0 (shown, not read back).
        ui->lblGX->setText(QStringLiteral("0x0"));
        ui->txtGX->setText(QStringLiteral("0"));
        g.ui.yield();
    };
    hooks.sampleTaken = [this](const AveragingProgress& p) {
        ui->lblGyro_Out->setText(GeneralFormat(ShownToThreeDecimals(p.sample)));
        ui->lblAvg->setText(FormatNumber(p.mean, QStringLiteral("0.000")));
        ui->txtSec->setText(FormatNumber(p.remainingSeconds, QStringLiteral("0.0")));
        g.ui.yield();
    };
    hooks.stopRequested = [this] { return closing_ || ui->cmdAvgCalc->text() != StopCaption; };
    averaging_ = true;
    const AveragingResult result = RunBiasAveraging(g, seconds, hooks);
    averaging_ = false;
    if (result.offsetCleared && !clearedOffset_)
        clearedOffset_ = result.offsetBefore;
    // Only a whole run leaves the offset at 0 for its proposal; a stopped or failed
    // one, or one that a closing window ended, puts the calibration back at once.
    if (result.stopped || result.readFailed || closing_)
        restoreClearedOffset();

    ui->txtSec->setText(FormatNumber(RoundHalfEven(seconds), QStringLiteral("0")));
    ui->LbLInProgress->hide();
    ui->lblAvgCount->setText(QStringLiteral("Total Samples = ") + QString::number(result.count));
    ui->lblAvgCount->show();
    ui->cmdAvgCalc->setText(RunCaption);
    if (result.readFailed && !closing_)
        g.ui.message(AveragingReadFailedMessage(result.count));
    if (result.count == 0)
        return; // no mean, so nothing to propose

    ui->txtGX->setText(GyroOffsetText(ProposedGyroOffset(result.mean)));
    MarkPending(ui->cmdCal_GX);
    g.ui.yield();
}

void fmCalibration::cmdCal_GX_Click()
{
    const QString entered = ui->txtGX->text();
    const double degPerSec = CorrectedGyroOffset(entered);
    if (!IsNumeric(entered) || degPerSec != TextNumber(entered))
        ui->txtGX->setText(GeneralFormat(degPerSec));
    const std::int32_t count = GyroOffsetCount(g, degPerSec);
    const auto reading = WriteGyroOffset(g, count);
    // The value written, in deg/s, whatever the read-back says.
    ui->txtGX->setText(GyroOffsetText(count * static_cast<double>(g.Reg[Idx_GYRO_OFST].RegScale)));
    ui->lblGX->setText(reading ? ValueToHex4(reading->word) : NoAnswer);
    if (reading) {
        ClearPending(ui->cmdCal_GX);
        clearedOffset_.reset(); // the offset the user chose replaces the one a run cleared
    }
}

void fmCalibration::restoreClearedOffset()
{
    if (!clearedOffset_)
        return;
    const auto reading = WriteGyroOffset(g, clearedOffset_->word);
    ui->lblGX->setText(reading ? ValueToHex4(reading->word) : NoAnswer);
    if (reading)
        clearedOffset_.reset();
}

void fmCalibration::runOffsetCommand(std::int32_t code)
{
    const auto reading = RunOffsetCommand(g, code, LineBusyMarker(ui->Line1, g.ui));
    ui->Line1->hide(); // also when the command could not be sent
    showOffset(reading);
    if (reading)
        clearedOffset_.reset(); // the sensor set an offset of its own
}

void fmCalibration::cmdAutoNull_Click()
{
    runOffsetCommand(CommandCode::AutoNull);
}

void fmCalibration::cmdFactoryCal_Click()
{
    runOffsetCommand(CommandCode::FactoryRestore);
}

void fmCalibration::cmdFlash_Click()
{
    FlashUpdate(g, LineBusyMarker(ui->Line2, g.ui));
}

void fmCalibration::cmdClose_Click()
{
    reject();
}

void fmCalibration::done(int result)
{
    closing_ = true;
    if (!averaging_) // a running run puts the offset back itself as it ends
        restoreClearedOffset();
    QDialog::done(result);
}

} // namespace gyro
