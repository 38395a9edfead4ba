#include "frmManualReg.h"

#include "HexText.h"
#include "NumberText.h"
#include "RegisterAccess.h"
#include "RegisterLogFile.h"
#include "RegisterTable.h"
#include "SensorCommands.h"
#include "WindowBehaviour.h"
#include "WindowPrint.h"
#include "ui_frmManualReg.h"

#include <QCloseEvent>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>

namespace gyro {

namespace {

constexpr float FlashUpdateWaitMs = 250.0f;

QString trueOrFalse(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

bool choosePrinterInDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

frmManualReg::frmManualReg(GyroState& gIn, QWidget* mainWindow)
    : QDialog(mainWindow), g(gIn), ui(std::make_unique<Ui::frmManualReg>())
{
    ui->setupUi(this);
    UseFixedPitchFont(*ui->Text1);
    ui->Text1->setTabStopDistance(8 * ui->Text1->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    for (QWidget* hex : {static_cast<QWidget*>(ui->txtRegAddr), static_cast<QWidget*>(ui->txtHex),
                         static_cast<QWidget*>(ui->txtDataWrite)})
        UseFixedPitchFont(*hex);
    choosePrinter = [this](QPrinter& printer) { return choosePrinterInDialog(printer, this); };

    connect(ui->cmdReadUserReg, &QPushButton::clicked, this, &frmManualReg::cmdReadUserReg_Click);
    connect(ui->cmdWriteFile, &QPushButton::clicked, this, &frmManualReg::cmdWriteFile_Click);
    connect(ui->cmdPrint, &QPushButton::clicked, this, &frmManualReg::cmdPrint_Click);
    connect(ui->cmboRegister, &QComboBox::activated, this, &frmManualReg::cmboRegister_Click);
    connect(ui->cmdRead, &QPushButton::clicked, this, &frmManualReg::cmdRead_Click);
    connect(ui->cmdWrite, &QPushButton::clicked, this, &frmManualReg::cmdWrite_Click);
    connect(ui->cmdUpdateFlash, &QPushButton::clicked, this, &frmManualReg::cmdUpdateFlash_Click);
    connect(ui->cmdClose, &QPushButton::clicked, this, &frmManualReg::cmdClose_Click);
    Form_Load(mainWindow);
}

frmManualReg::~frmManualReg() = default;

void frmManualReg::Form_Load(QWidget* mainWindow)
{
    PlaceAtMainWindowCorner(*this, mainWindow);
    // "Update Flash" stays visible: the sensor reports no revision that could hide it,
    // and registers written here can then be stored as in the other windows.
    for (int index = 0; index <= g.LastRegisterIndex; ++index)
        ui->cmboRegister->addItem(g.Reg[static_cast<std::size_t>(index)].RegName);
    ui->cmboRegister->setCurrentIndex(-1);
    cmdReadUserReg_Click();
}

int frmManualReg::chosenRegister() const
{
    return ui->cmboRegister->currentIndex();
}

void frmManualReg::cmdReadUserReg_Click()
{
    // The box shows the table's lines; the file gets CR LF ends again when saved.
    QString table = BuildRegisterTableText(g);
    table.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui->Text1->setPlainText(table);
}

void frmManualReg::cmdWriteFile_Click()
{
    QString error;
    if (!WriteRegisterLog(g.ProgramFolder, ui->Text1->toPlainText(), &error))
        g.ui.message(
            QStringLiteral("The register table could not be saved to %1.\n%2\nThe file was left as it was.")
                .arg(QDir::toNativeSeparators(RegisterLogPath(g.ProgramFolder)), error),
            MsgButtons::Ok, MsgIcon::Critical);
}

void frmManualReg::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    if (!choosePrinter(printer))
        return;
    if (!PrintWindowImage(*this, printer))
        g.ui.message(QStringLiteral("The window could not be printed."), MsgButtons::Ok, MsgIcon::Critical);
}

void frmManualReg::cmboRegister_Click()
{
    const int i = chosenRegister();
    if (i < 0)
        return;
    const RegisterEntry& e = g.Reg[static_cast<std::size_t>(i)];
    ui->txtRegAddr->setText(ValueToHex4(e.RegAddress));
    ui->txtRegByte->setText(QString::number(e.RegByteCount));
    ui->txtRegRead->setText(trueOrFalse(e.RegReadable));
    ui->txtRegWrite->setText(trueOrFalse(e.RegWritable));
    ui->cmdWrite->setEnabled(e.RegWritable);
    ui->cmdRead->setEnabled(e.RegReadable);
    cmdRead_Click();
}

void frmManualReg::cmdRead_Click()
{
    const int i = chosenRegister();
    if (i < 0 || !g.Reg[static_cast<std::size_t>(i)].RegReadable)
        return;
    if (const RegisterRead r = ReadRegister(g, i)) {
        ui->txtHex->setText(ValueToHex4(r->RegWord));
        ui->txtRegVal->setText(GeneralFormat(r->RegValue));
    } else {
        // No answer: no number, so nothing old can pass for this read.
        ui->txtHex->setText(QStringLiteral("----"));
        ui->txtRegVal->clear();
    }
}

void frmManualReg::cmdWrite_Click()
{
    const int i = chosenRegister();
    if (i < 0)
        return;
    const std::int32_t value = HexToLong(ui->txtDataWrite->text());
    if (WriteRegister(g, i, value) && WriteCanChangeRange(i, value))
        TellIfFailed(g.ui, SetGyroScale(g).outcome);
}

void frmManualReg::cmdUpdateFlash_Click()
{
    RunTimedCommand(g, CommandCode::FlashUpdate, FlashUpdateWaitMs,
                    BusyMarker{[this] { g.ui.setBusyCursor(true); }, [this] { g.ui.setBusyCursor(false); }});
}

void frmManualReg::cmdClose_Click()
{
    hide();
}

void frmManualReg::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        deleteLater();
}

} // namespace gyro
