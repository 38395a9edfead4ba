#include "frmOperationalControl.h"

#include "HexText.h"
#include "NumberText.h"
#include "OperationWords.h"
#include "PendingChange.h"
#include "SensorCommands.h"
#include "WidgetText.h"
#include "WindowBehaviour.h"
#include "ui_frmOperationalControl.h"

#include <QKeyEvent>

namespace gyro {

namespace {

// What a hex label shows when the sensor did not answer: no number.
const QString NoAnswer = QStringLiteral("----");

void showWord(QLabel* label, const std::optional<std::int32_t>& word)
{
    label->setText(word ? ValueToHex4(*word) : NoAnswer);
}

// The bit a pair of options stands for in a write: the user's selection, or where
// neither is selected (the register did not answer when last read) the bit the
// sensor held when it last answered, so a choice never writes another pair unasked.
bool chosenBit(const QAbstractButton* whenSet, const QAbstractButton* whenClear, bool held)
{
    if (whenSet->isChecked())
        return true;
    return whenClear->isChecked() ? false : held;
}

// Runs `handler` whenever the option becomes the selected one, by click or from code.
template <typename Handler> void onSelected(QRadioButton* option, QObject* context, Handler handler)
{
    QObject::connect(option, &QRadioButton::toggled, context, [handler](bool on) {
        if (on)
            handler();
    });
}

} // namespace

frmOperationalControl::frmOperationalControl(GyroState& gIn, QWidget* mainWindow)
    : QDialog(mainWindow), g(gIn), ui(std::make_unique<Ui::frmOperationalControl>())
{
    ui->setupUi(this);
    for (QLabel* hex : {ui->lblSmpl_Prd, ui->lblSensAvg, ui->lblGPIO, ui->lblMisc, ui->lblAuxDac})
        UseFixedPitchFont(*hex);
    QSizePolicy keepPlace = ui->Line1->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    ui->Line1->setSizePolicy(keepPlace);
    connectControls();
    PlaceAtMainWindowCorner(*this, mainWindow);
}

frmOperationalControl::~frmOperationalControl() = default;

void frmOperationalControl::connectControls()
{
    connect(ui->cmdWriteSmpl_prd, &QPushButton::clicked, this,
            &frmOperationalControl::cmdWriteSmpl_prd_Click);
    connect(ui->cmdWriteSensAvg, &QPushButton::clicked, this, &frmOperationalControl::cmdWriteSensAvg_Click);
    connect(ui->cmdWriteAuxDac, &QPushButton::clicked, this, &frmOperationalControl::cmdWriteAuxDac_Click);
    connect(ui->cmdFlash, &QPushButton::clicked, this, &frmOperationalControl::cmdFlash_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmOperationalControl::cmdClose_Click);

    // Typing or choosing in the upper half only marks its "Update" button; a choice
    // by mouse or keyboard counts, one made while the window loads does not.
    for (QWidget* box : std::initializer_list<QWidget*>{ui->txtSampleRate, ui->txtTaps, ui->txtVolts})
        box->installEventFilter(this);
    for (QRadioButton* option :
         {ui->op330Hz, ui->op50Hz, ui->opt_Rate_80, ui->opt_Rate_160, ui->opt_Rate_320})
        onSelected(option, this, [this] {
            if (isVisible())
                MarkPending(ui->cmdWriteSensAvg);
        });

    // The lower half's options write their register at once.
    for (QRadioButton* option :
         {ui->optIO_zero_output, ui->optIO_zero_input, ui->optIO_one_output, ui->optIO_one_input,
          ui->optPol_zero_high, ui->optPol_zero_low, ui->optPol_one_high, ui->optPol_one_low})
        onSelected(option, this, [this] { Write_GPIO_ctrl(); });
    for (QRadioButton* option : {ui->optDRselect_One, ui->optDRselect_Zero, ui->optDRPolarity_High,
                                 ui->optDRPolarity_Low, ui->optDREnable_On, ui->optDREnable_Off})
        onSelected(option, this, [this] { Write_MSC_Ctrl(); });
}

bool frmOperationalControl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        if (watched == ui->txtSampleRate)
            MarkPending(ui->cmdWriteSmpl_prd);
        else if (watched == ui->txtTaps)
            MarkPending(ui->cmdWriteSensAvg);
        else if (watched == ui->txtVolts)
            MarkPending(ui->cmdWriteAuxDac);
    }
    return QDialog::eventFilter(watched, event);
}

void frmOperationalControl::Form_Load()
{
    // The window is not visible yet, so the options chosen here write nothing. A
    // register that does not answer leaves its box empty rather than a design text.
    for (QLineEdit* box : {ui->txtSampleRate, ui->txtTaps, ui->txtVolts})
        box->clear();
    showSamplePeriod(ReadWord(g, Idx_Smpl_Prd));

    const auto sensAvg = ReadWord(g, Idx_Sens_Avg);
    showWord(ui->lblSensAvg, sensAvg);
    if (sensAvg) {
        const SensAvgSettings settings = SensAvgSettingsOf(*sensAvg);
        showRange(settings.rangeCode);
        ui->txtTaps->setText(QString::number(settings.taps));
        ShowOptionPair(*ui->op330Hz, *ui->op50Hz, settings.wideBandwidth);
    }

    showGpio(ReadWord(g, Idx_Gpio_Ctrl));
    showMsc(ReadWord(g, Idx_Msc_Ctrl));
    showAuxDac(ReadWord(g, Idx_Aux_DAC));
}

void frmOperationalControl::showSamplePeriod(const std::optional<std::int32_t>& word)
{
    showWord(ui->lblSmpl_Prd, word);
    if (word)
        ui->txtSampleRate->setText(SampleRateText(SampleRateOfWord(*word)));
}

void frmOperationalControl::showRange(int rangeCode)
{
    switch (rangeCode) {
    case RangeCode::Range80:
        ui->opt_Rate_80->setChecked(true);
        break;
    case RangeCode::Range160:
        ui->opt_Rate_160->setChecked(true);
        break;
    case RangeCode::Range320:
        ui->opt_Rate_320->setChecked(true);
        break;
    default:
        break; // a code the sensor does not know leaves the selection as it is
    }
}

// The options show what the sensor holds, after the load and after every write;
// a register that did not answer selects neither option of its pairs.
void frmOperationalControl::showGpio(const std::optional<std::int32_t>& word)
{
    showWord(ui->lblGPIO, word);
    if (word)
        gpioWord_ = *word;
    const auto bit = [&](bool GpioSettings::*field) {
        return word ? std::optional<bool>(GpioSettingsOf(*word).*field) : std::nullopt;
    };
    ShowOptionPair(*ui->optIO_zero_output, *ui->optIO_zero_input, bit(&GpioSettings::line0Output));
    ShowOptionPair(*ui->optIO_one_output, *ui->optIO_one_input, bit(&GpioSettings::line1Output));
    ShowOptionPair(*ui->optPol_zero_high, *ui->optPol_zero_low, bit(&GpioSettings::line0High));
    ShowOptionPair(*ui->optPol_one_high, *ui->optPol_one_low, bit(&GpioSettings::line1High));
}

void frmOperationalControl::showMsc(const std::optional<std::int32_t>& word)
{
    showWord(ui->lblMisc, word);
    if (word)
        mscWord_ = *word;
    const auto bit = [&](bool DataReadySettings::*field) {
        return word ? std::optional<bool>(DataReadySettingsOf(*word).*field) : std::nullopt;
    };
    ShowOptionPair(*ui->optDRselect_One, *ui->optDRselect_Zero, bit(&DataReadySettings::secondLine));
    ShowOptionPair(*ui->optDRPolarity_High, *ui->optDRPolarity_Low, bit(&DataReadySettings::activeHigh));
    ShowOptionPair(*ui->optDREnable_On, *ui->optDREnable_Off, bit(&DataReadySettings::enabled));
}

void frmOperationalControl::showAuxDac(const std::optional<std::int32_t>& word)
{
    showWord(ui->lblAuxDac, word);
    if (word)
        ui->txtVolts->setText(DacVoltsText(DacVolts(*word)));
}

void frmOperationalControl::cmdWriteSmpl_prd_Click()
{
    const double rate = SampleRateEntry(ui->txtSampleRate->text());
    if (!IsNumeric(ui->txtSampleRate->text()))
        ui->txtSampleRate->setText(SampleRateText(rate));
    const SamplePeriodChoice choice = ChooseSamplePeriod(g, rate);
    if (choice.lowPowerLimited)
        g.ui.message(LowPowerWarning());
    const auto readBack = WriteSamplePeriod(g, choice.word);
    showSamplePeriod(readBack);
    // Without a read-back the change is not confirmed: the button stays marked.
    if (readBack)
        ClearPending(ui->cmdWriteSmpl_prd);
}

void frmOperationalControl::cmdWriteSensAvg_Click()
{
    SensAvgSettings settings;
    settings.wideBandwidth = ui->op330Hz->isChecked();
    settings.rangeCode = ui->opt_Rate_80->isChecked()    ? RangeCode::Range80
                         : ui->opt_Rate_160->isChecked() ? RangeCode::Range160
                                                         : RangeCode::Range320;
    settings.taps = CorrectedTaps(ui->txtTaps->text());
    ui->txtTaps->setText(QString::number(settings.taps));

    const auto readBack = WriteSensAvg(g, SensAvgWord(settings));
    showWord(ui->lblSensAvg, readBack);
    if (!readBack)
        return;
    const SensAvgSettings held = SensAvgSettingsOf(*readBack);
    ui->txtTaps->setText(QString::number(held.taps));
    showRange(held.rangeCode);
    ShowOptionPair(*ui->op330Hz, *ui->op50Hz, held.wideBandwidth);
    ClearPending(ui->cmdWriteSensAvg);
}

void frmOperationalControl::Write_GPIO_ctrl()
{
    if (!isVisible())
        return;
    const GpioSettings held = GpioSettingsOf(gpioWord_);
    const GpioSettings s{chosenBit(ui->optIO_zero_output, ui->optIO_zero_input, held.line0Output),
                         chosenBit(ui->optIO_one_output, ui->optIO_one_input, held.line1Output),
                         chosenBit(ui->optPol_zero_high, ui->optPol_zero_low, held.line0High),
                         chosenBit(ui->optPol_one_high, ui->optPol_one_low, held.line1High)};
    showGpio(WriteGpioCtrl(g, GpioCtrlWord(s)));
}

void frmOperationalControl::Write_MSC_Ctrl()
{
    if (!isVisible())
        return;
    const DataReadySettings held = DataReadySettingsOf(mscWord_);
    const DataReadySettings s{chosenBit(ui->optDRselect_One, ui->optDRselect_Zero, held.secondLine),
                              chosenBit(ui->optDRPolarity_High, ui->optDRPolarity_Low, held.activeHigh),
                              chosenBit(ui->optDREnable_On, ui->optDREnable_Off, held.enabled)};
    showMsc(WriteMscCtrl(g, MscCtrlWord(s)));
}

void frmOperationalControl::cmdWriteAuxDac_Click()
{
    const double volts = CorrectedDacVolts(ui->txtVolts->text());
    ui->txtVolts->setText(DacVoltsText(volts));
    const auto readBack = WriteAuxDac(g, DacCode(volts));
    showAuxDac(readBack);
    if (readBack)
        ClearPending(ui->cmdWriteAuxDac);
}

void frmOperationalControl::cmdFlash_Click()
{
    FlashUpdate(g, LineBusyMarker(ui->Line1, g.ui));
}

void frmOperationalControl::cmdClose_Click()
{
    reject();
}

} // namespace gyro
