#include "frmDatalog.h"

#include "DatalogFormat.h"
#include "DatalogRun.h"
#include "NumberText.h"
#include "SensorPacedSampling.h"
#include "WindowBehaviour.h"
#include "ui_frmDatalog.h"

#include <QCheckBox>
#include <QDir>
#include <QShowEvent>
#include <algorithm>

namespace gyro {

namespace {

const QString StartCaption = QStringLiteral("Start Datalog");
const QString CancelCaption = QStringLiteral("Cancel Datalog");
constexpr double ProgressIntervalSeconds = 0.1;

// What a number box holds: the text that replaces one that is not a number, and
// the limits a number is brought back into.
struct NumberBoxRule {
    const char* notNumeric;
    double lower;
    double upper;
};
constexpr NumberBoxRule SamplesPerFileRule{"1000", 1, DatalogLimits::MaxSamplesPerFile};
constexpr NumberBoxRule FilesPerSessionRule{"1", 1, DatalogLimits::MaxFilesPerSession};
constexpr NumberBoxRule SampleDelayRule{"0", 0, DatalogLimits::MaxSampleDelayMs};

// Replaces a text that is not a number by the rule's text and a number beyond a
// limit by the limit. Returns true when it replaced the text: the replacement has
// then run the box's change handler again, which settled the box.
bool CorrectNumberBox(QLineEdit* box, const NumberBoxRule& rule)
{
    QString replacement;
    if (!IsNumeric(box->text()))
        replacement = QLatin1String(rule.notNumeric);
    else if (const double value = LeadingNumber(box->text()); value < rule.lower)
        replacement = QString::number(rule.lower, 'f', 0);
    else if (value > rule.upper)
        replacement = QString::number(rule.upper, 'f', 0);
    if (replacement.isNull())
        return false;
    box->setText(replacement);
    return true;
}

} // namespace

frmDatalog::frmDatalog(GyroState& g, QWidget* mainWindow, std::function<void()> clearMainLoop)
    : QDialog(mainWindow), g_(g), ui_(std::make_unique<Ui::frmDatalog>()),
      clearMainLoop_(std::move(clearMainLoop))
{
    ui_->setupUi(this);
    CheckReg = ControlArray<QCheckBox>(*this, QStringLiteral("CheckReg"), 1, 5);
    // The banners come and go without moving the button.
    for (QWidget* banner :
         std::initializer_list<QWidget*>{ui_->LBLDatalogInProgress, ui_->lblInProgress, ui_->prgSamples}) {
        QSizePolicy policy = banner->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        banner->setSizePolicy(policy);
    }
    connect(ui_->cmdStartDatalog, &QPushButton::clicked, this, &frmDatalog::cmdStartDatalog_Click);
    connect(ui_->txtDirectory, &QLineEdit::textChanged, this, &frmDatalog::txtDirectory_Change);
    connect(ui_->txtFileName, &QLineEdit::textChanged, this, &frmDatalog::txtFileName_Change);
    connect(ui_->txtSampleDelay, &QLineEdit::textChanged, this, &frmDatalog::txtSampleDelay_Change);
    connect(ui_->txtSamplesPerFile, &QLineEdit::textChanged, this, &frmDatalog::txtSamplesPerFile_Change);
    connect(ui_->txtFilesPerSession, &QLineEdit::textChanged, this, &frmDatalog::txtFilesPerSession_Change);
    Form_Load();
    PlaceAtMainWindowCorner(*this, mainWindow);
}

frmDatalog::~frmDatalog() = default;

void frmDatalog::Form_Load()
{
    ui_->txtSamplesPerFile->setText(QStringLiteral("1000"));
    ui_->txtSampleDelay->setText(QStringLiteral("0"));
    ui_->txtFilesPerSession->setText(QStringLiteral("1"));
    txtDirectory_Change(); // shows the program's folder
    FileName = QStringLiteral("DATALOG");
    ui_->txtFileName->setText(FileName);
    ui_->txtFileNum->setEnabled(false);
    showRunning(false);
    // A readout loop of the main window, suspended while this window is open,
    // ends after its current pass instead of going on after the log.
    if (clearMainLoop_)
        clearMainLoop_();
    ui_->lblFext->setText(DatalogFormatFor(QLocale()).extension);
}

void frmDatalog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void frmDatalog::Form_Activate()
{
    for (int k = CheckReg.first(); k <= CheckReg.last(); ++k)
        CheckReg(k)->setVisible(true);
    g_.ui.yield();
}

void frmDatalog::txtDirectory_Change()
{
    const QString folder = QDir::toNativeSeparators(QDir(g_.ProgramFolder).absolutePath());
    if (ui_->txtDirectory->text() != folder)
        ui_->txtDirectory->setText(folder);
}

void frmDatalog::txtFileName_Change()
{
    FileName = ui_->txtFileName->text();
}

void frmDatalog::txtSampleDelay_Change()
{
    CorrectNumberBox(ui_->txtSampleDelay, SampleDelayRule);
}

void frmDatalog::txtSamplesPerFile_Change()
{
    if (!CorrectNumberBox(ui_->txtSamplesPerFile, SamplesPerFileRule))
        SamplesPerFile = LeadingNumber(ui_->txtSamplesPerFile->text());
}

void frmDatalog::txtFilesPerSession_Change()
{
    if (!CorrectNumberBox(ui_->txtFilesPerSession, FilesPerSessionRule))
        FilesPerSession = LeadingNumber(ui_->txtFilesPerSession->text());
}

void frmDatalog::cmdStartDatalog_Click()
{
    bool anySelected = false;
    for (int k = CheckReg.first(); k <= CheckReg.last(); ++k)
        anySelected = anySelected || CheckReg(k)->isChecked();
    if (!anySelected) {
        g_.ui.message(QStringLiteral("Please check at least one DATA SELECTION box."));
        return;
    }
    if (ui_->cmdStartDatalog->text() == StartCaption) {
        ui_->cmdStartDatalog->setText(CancelCaption);
        RunDatalog();
    } else {
        // Arrives during the run's yield; the run sees the caption after this sample.
        ui_->cmdStartDatalog->setText(StartCaption);
    }
}

void frmDatalog::CancelRun()
{
    if (running_)
        ui_->cmdStartDatalog->setText(StartCaption);
}

void frmDatalog::reject()
{
    if (running_) {
        CancelRun();
        closeAfterRun_ = true;
        return;
    }
    QDialog::reject();
}

DatalogSettings frmDatalog::settingsFromControls() const
{
    DatalogSettings s;
    for (int k = CheckReg.first(); k <= CheckReg.last(); ++k)
        s.CheckReg[static_cast<std::size_t>(k - 1)] = CheckReg(k)->isChecked();
    s.ckTime = ui_->ckTime->isChecked();
    s.ckNoHeader = ui_->ckNoHeader->isChecked();
    s.ckNoScaling = ui_->ckNoScaling->isChecked();
    s.ckDisableNewDataFlags = ui_->ckDisableNewDataFlags->isChecked();
    s.ckReSetAngle = ui_->ckReSetAngle->isChecked();
    s.chkEverySample = ui_->chkEverySample->isChecked();
    // A fraction of a sample or file is not taken: 2.5 samples make two.
    s.SamplesPerFile = std::max<std::int64_t>(1, static_cast<std::int64_t>(SamplesPerFile));
    s.FilesPerSession =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(LeadingNumber(ui_->txtFilesPerSession->text())));
    s.SampleDelayMs = LeadingNumber(ui_->txtSampleDelay->text());
    s.FileName = FileName;
    s.Folder = g_.ProgramFolder;
    s.locale = QLocale();
    return s;
}

void frmDatalog::showRunning(bool running)
{
    running_ = running;
    ui_->LBLDatalogInProgress->setVisible(running);
    ui_->lblInProgress->setVisible(running);
    ui_->prgSamples->setVisible(running);
    for (QWidget* setting : std::initializer_list<QWidget*>{
             ui_->ckTime, ui_->txtSamplesPerFile, ui_->txtSampleDelay, ui_->txtFilesPerSession,
             ui_->txtDirectory, ui_->txtFileName, ui_->ckNoScaling, ui_->ckNoHeader,
             ui_->ckDisableNewDataFlags, ui_->ckReSetAngle, ui_->chkEverySample})
        setting->setEnabled(!running);
    for (int k = CheckReg.first(); k <= CheckReg.last(); ++k)
        CheckReg(k)->setEnabled(!running);
    if (!running)
        ui_->cmdStartDatalog->setText(StartCaption);
}

void frmDatalog::showSamplesMissed(std::int64_t taken, std::int64_t missed)
{
    ui_->lblRunStatus->setText(
        QStringLiteral("One line per sensor sample: %1 taken, %2 missed").arg(taken).arg(missed));
    if (missed > 0)
        g_.ui.message(SamplesMissedNote(missed), MsgButtons::Ok, MsgIcon::Exclamation);
}

void frmDatalog::RunDatalog()
{
    const DatalogSettings settings = settingsFromControls();
    showRunning(true);
    ui_->prgSamples->setRange(0, static_cast<int>(settings.SamplesPerFile));
    DatalogHooks hooks;
    hooks.yield = [this] { g_.ui.yield(); };
    hooks.cancelRequested = [this] { return ui_->cmdStartDatalog->text() == StartCaption; };
    hooks.fileBegun = [this](std::int64_t n) {
        ui_->txtFileNum->setText(QString::number(n));
        ui_->prgSamples->setValue(0);
    };
    // A progress bar repaints at once: a few times a second is what the eye needs,
    // and keeps the sampling fast.
    Clock& clock = g_.platform.clock;
    double lastShown = clock.monotonicSeconds();
    hooks.sampleTaken = [this, &clock, &lastShown](std::int64_t taken, std::int64_t samplesPerFile) {
        const double now = clock.monotonicSeconds();
        if (now - lastShown < ProgressIntervalSeconds && taken != samplesPerFile)
            return;
        lastShown = now;
        ui_->prgSamples->setValue(static_cast<int>(taken));
    };
    ui_->lblRunStatus->clear();
    std::int64_t lineCount = 0;
    const auto counted = hooks.sampleTaken;
    hooks.sampleTaken = [&lineCount, counted](std::int64_t taken, std::int64_t samplesPerFile) {
        ++lineCount;
        counted(taken, samplesPerFile);
    };
    const DatalogOutcome outcome = gyro::RunDatalog(g_, settings, hooks);
    TellIfFailed(g_.ui, outcome.failure);
    showRunning(false);
    if (settings.chkEverySample)
        showSamplesMissed(lineCount, outcome.samplesMissed);
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        QDialog::reject();
    }
}

} // namespace gyro
