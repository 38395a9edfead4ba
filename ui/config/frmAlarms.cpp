#include "frmAlarms.h"

#include "AlarmSetup.h"
#include "HexText.h"
#include "NumberText.h"
#include "PendingChange.h"
#include "SensorCommands.h"
#include "WindowBehaviour.h"
#include "ui_frmAlarms.h"

#include <QShowEvent>

namespace gyro {

namespace {

const QString NoAnswer = QStringLiteral("----");

// Shows one of two option buttons as selected, or neither when the bit is unknown.
void showOption(QRadioButton* whenSet, QRadioButton* whenClear, std::optional<bool> bit)
{
    ShowOptionPair(*whenSet, *whenClear, bit);
}

// A correction is a change of the box like the user's (its group's Update turns
// yellow); an entry that needed none is left alone.
void setCorrectedText(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

QString hexOrNoAnswer(const std::optional<std::int32_t>& word)
{
    return word ? ValueToHex4(*word) : NoAnswer;
}

} // namespace

frmAlarms::frmAlarms(GyroState& gIn, QWidget* mainWindow)
    : QDialog(mainWindow), g(gIn), ui(std::make_unique<Ui::frmAlarms>())
{
    ui->setupUi(this);
    for (QWidget* hex : {static_cast<QWidget*>(ui->lblALM_MAG1), static_cast<QWidget*>(ui->lblALM_MAG2),
                         static_cast<QWidget*>(ui->lblALM_SMPL1), static_cast<QWidget*>(ui->lblALM_SMPL2),
                         static_cast<QWidget*>(ui->lblAlmCtrl), static_cast<QWidget*>(ui->lblAlmCtrlB),
                         static_cast<QWidget*>(ui->lblAlmCtrlC)})
        UseFixedPitchFont(*hex);
    connectControls();
    PlaceAtMainWindowCorner(*this, mainWindow);
}

frmAlarms::~frmAlarms() = default;

void frmAlarms::connectControls()
{
    connect(ui->cmdWriteA1, &QPushButton::clicked, this, &frmAlarms::cmdWriteA1_Click);
    connect(ui->cmdWriteA2, &QPushButton::clicked, this, &frmAlarms::cmdWriteA2_Click);
    connect(ui->cmdWriteAlmSmpl1, &QPushButton::clicked, this, &frmAlarms::cmdWriteAlmSmpl1_Click);
    connect(ui->cmdWriteAlmSmpl2, &QPushButton::clicked, this, &frmAlarms::cmdWriteAlmSmpl2_Click);
    connect(ui->cmdAdio, &QPushButton::clicked, this, &frmAlarms::cmdAdio_Click);
    connect(ui->cmdFlash, &QPushButton::clicked, this, &frmAlarms::cmdFlash_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmAlarms::cmdClose_Click);

    // Change handlers: each marks its group's Update button. Typing in a source
    // selector marks nothing; choosing an entry does.
    const auto marks = [this](QPushButton* button) { return [this, button] { changed(button); }; };
    const auto whenSelected = [this](QRadioButton* option, QPushButton* button) {
        connect(option, &QRadioButton::toggled, this, [this, button](bool on) {
            if (on)
                changed(button);
        });
    };
    connect(ui->cmboAsource1, &QComboBox::activated, this, marks(ui->cmdWriteA1));
    connect(ui->cmboAsource2, &QComboBox::activated, this, marks(ui->cmdWriteA2));
    connect(ui->txtLevel1, &QLineEdit::textChanged, this, marks(ui->cmdWriteA1));
    connect(ui->txtLevel2, &QLineEdit::textChanged, this, marks(ui->cmdWriteA2));
    connect(ui->txtAvg1, &QLineEdit::textChanged, this, marks(ui->cmdWriteAlmSmpl1));
    connect(ui->txtAVG2, &QLineEdit::textChanged, this, marks(ui->cmdWriteAlmSmpl2));
    for (QRadioButton* o : {ui->opTrigPol1_Greater, ui->opTrigPol1_Less})
        whenSelected(o, ui->cmdWriteA1);
    for (QRadioButton* o : {ui->opTrigPol2_Greater, ui->opTrigPol2_Less})
        whenSelected(o, ui->cmdWriteA2);
    for (QRadioButton* o : {ui->opRate1_Enabled, ui->opRate1_Disabled})
        whenSelected(o, ui->cmdWriteAlmSmpl1);
    for (QRadioButton* o : {ui->opRate2_Enabled, ui->opRate2_Disabled})
        whenSelected(o, ui->cmdWriteAlmSmpl2);
    for (QRadioButton* o : {ui->opDig_Enabled, ui->opDig_Disabled, ui->opDigLine_one, ui->opDigLine_zero,
                            ui->opDigPol_high, ui->opDigPol_low})
        whenSelected(o, ui->cmdAdio);
}

void frmAlarms::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void frmAlarms::Form_Activate()
{
    for (int alarm = 1; alarm <= 2; ++alarm) {
        QComboBox* box = sourceBox(alarm);
        box->clear();
        for (int position = 0; position < AlarmSource::Count; ++position)
            box->addItem(AlarmSourceText(position));
    }
    ReadAlarmSetup();
}

void frmAlarms::changed(QPushButton* button)
{
    if (!ReadingSetup)
        MarkPending(button);
}

QComboBox* frmAlarms::sourceBox(int alarm) const
{
    return alarm == 1 ? ui->cmboAsource1 : ui->cmboAsource2;
}

QLineEdit* frmAlarms::levelBox(int alarm) const
{
    return alarm == 1 ? ui->txtLevel1 : ui->txtLevel2;
}

QLineEdit* frmAlarms::averageBox(int alarm) const
{
    return alarm == 1 ? ui->txtAvg1 : ui->txtAVG2;
}

std::optional<int> frmAlarms::selectedSource(int alarm) const
{
    const QComboBox* box = sourceBox(alarm);
    if (box->currentIndex() >= 0 && box->currentText() == box->itemText(box->currentIndex()))
        return box->currentIndex();
    return AlarmSourcePositionOfText(box->currentText());
}

void frmAlarms::ReadAlarmSetup()
{
    ReadingSetup = true;
    const AlarmRegisters r = ReadAlarmRegisters(g);
    showControlWord(r.ctrl);
    for (int alarm = 1; alarm <= 2; ++alarm) {
        const std::size_t i = static_cast<std::size_t>(alarm - 1);
        showAlarm(alarm, r.mag[i], r.smpl[i], r.ctrl);
    }
    ReadingSetup = false;
}

void frmAlarms::showControlWord(const std::optional<std::int32_t>& ctrl)
{
    for (QLabel* label : {ui->lblAlmCtrl, ui->lblAlmCtrlB, ui->lblAlmCtrlC})
        label->setText(hexOrNoAnswer(ctrl));
    const std::optional<AlarmIndicator> indicator =
        ctrl ? std::optional(AlarmIndicatorOf(*ctrl)) : std::nullopt;
    showOption(ui->opDigLine_one, ui->opDigLine_zero,
               indicator ? std::optional(indicator->secondLine) : std::nullopt);
    showOption(ui->opDigPol_high, ui->opDigPol_low,
               indicator ? std::optional(indicator->polarityHigh) : std::nullopt);
    showOption(ui->opDig_Enabled, ui->opDig_Disabled,
               indicator ? std::optional(indicator->enabled) : std::nullopt);
}

void frmAlarms::showAlarm(int alarm, const std::optional<std::int32_t>& mag,
                          const std::optional<std::int32_t>& smpl, const std::optional<std::int32_t>& ctrl)
{
    const bool first = alarm == 1;
    // Source: its entry, or the stored number's text when the list has no entry for it.
    QComboBox* source = sourceBox(alarm);
    std::optional<int> position;
    if (ctrl) {
        const int number = AlarmSourceNumberOf(*ctrl, alarm);
        position = AlarmSourcePosition(number);
        source->setCurrentIndex(position.value_or(-1));
        source->setEditText(AlarmSourceNumberText(number));
    } else {
        source->setCurrentIndex(-1);
        source->setEditText(QString());
    }

    showOption(first ? ui->opTrigPol1_Greater : ui->opTrigPol2_Greater,
               first ? ui->opTrigPol1_Less : ui->opTrigPol2_Less,
               mag ? std::optional(AlarmGreaterThanOf(*mag)) : std::nullopt);
    (first ? ui->lblALM_MAG1 : ui->lblALM_MAG2)->setText(hexOrNoAnswer(mag));
    // The level needs both the magnitude and the source it is counted in.
    levelBox(alarm)->setText(mag && ctrl
                                 ? FormatNumber(AlarmLevelOfWord(g, position, *mag), QStringLiteral("#0.000"))
                                 : QString());

    averageBox(alarm)->setText(smpl ? QString::number(*smpl) : QString());
    (first ? ui->lblALM_SMPL1 : ui->lblALM_SMPL2)->setText(hexOrNoAnswer(smpl));
    showOption(first ? ui->opRate1_Enabled : ui->opRate2_Enabled,
               first ? ui->opRate1_Disabled : ui->opRate2_Disabled,
               ctrl ? std::optional(AlarmRateOfChangeOf(*ctrl, alarm)) : std::nullopt);
}

void frmAlarms::WriteAlarmSetup()
{
    std::array<AlarmLevelSetting, 2> alarms{
        AlarmLevelSetting{selectedSource(1), ui->txtLevel1->text(), ui->opTrigPol1_Greater->isChecked()},
        AlarmLevelSetting{selectedSource(2), ui->txtLevel2->text(), ui->opTrigPol2_Greater->isChecked()}};
    gyro::WriteAlarmSetup(g, alarms);
    // The corrected entries, as the boxes held them when the words were written.
    setCorrectedText(ui->txtLevel1, alarms[0].levelText);
    setCorrectedText(ui->txtLevel2, alarms[1].levelText);
    ReadAlarmSetup();
}

void frmAlarms::cmdWriteA1_Click()
{
    WriteAlarmSetup();
    ClearPending(ui->cmdWriteA1);
}

void frmAlarms::cmdWriteA2_Click()
{
    WriteAlarmSetup();
    ClearPending(ui->cmdWriteA2);
}

void frmAlarms::writeAverage(int alarm)
{
    QString text = averageBox(alarm)->text();
    const bool rate = (alarm == 1 ? ui->opRate1_Enabled : ui->opRate2_Enabled)->isChecked();
    WriteAlarmAverage(g, alarm, text, rate);
    setCorrectedText(averageBox(alarm), text);
    ReadAlarmSetup();
    ClearPending(alarm == 1 ? ui->cmdWriteAlmSmpl1 : ui->cmdWriteAlmSmpl2);
}

void frmAlarms::cmdWriteAlmSmpl1_Click()
{
    writeAverage(1);
}

void frmAlarms::cmdWriteAlmSmpl2_Click()
{
    writeAverage(2);
}

void frmAlarms::cmdAdio_Click()
{
    WriteDigitalIndicator(g, AlarmIndicator{ui->opDigLine_one->isChecked(), ui->opDigPol_high->isChecked(),
                                            ui->opDig_Enabled->isChecked()});
    ReadAlarmSetup();
    ClearPending(ui->cmdAdio);
}

void frmAlarms::cmdFlash_Click()
{
    FlashUpdate(g, LineBusyMarker(ui->LineFlash, g.ui));
}

void frmAlarms::cmdClose_Click()
{
    close();
}

} // namespace gyro
