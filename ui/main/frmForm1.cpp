#include "frmForm1.h"

#include "AboutBox.h"
#include "ChartKeeper.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "NumberText.h"
#include "OsFamily.h"
#include "PaintPacer.h"
#include "PortAddress.h"
#include "RegisterAccess.h"
#include "Timing.h"
#include "WidgetText.h"
#include "fmCalibration.h"
#include "frmAlarms.h"
#include "frmDatalog.h"
#include "frmManualReg.h"
#include "frmNoiseAnalysis.h"
#include "frmOperationalControl.h"
#include "frmPort.h"
#include "frmUSBselect.h"
#include "ui_frmForm1.h"

#include <QCloseEvent>
#include <QDialog>
#include <QMouseEvent>

namespace gyro {

namespace {
constexpr std::int16_t InterfaceNone = 0;
constexpr std::int16_t InterfaceParallel = 1;
constexpr std::int16_t InterfaceUsb = 2;
constexpr int FrameIntervalMs = 16; // about 60 frames a second
} // namespace

frmForm1::frmForm1(GyroState& gIn, QWidget* parent)
    : QMainWindow(parent), g(gIn), ui(std::make_unique<Ui::frmForm1>())
{
    ui->setupUi(this);
    lblReg = {nullptr, ui->lblReg_1, ui->lblReg_2, ui->lblReg_3, ui->lblReg_4, ui->lblReg_5};
    lblRegDat = {nullptr,         ui->lblRegDat_1, ui->lblRegDat_2,
                 ui->lblRegDat_3, ui->lblRegDat_4, ui->lblRegDat_5};
    lblPlotX = {ui->lblPlotX_0, ui->lblPlotX_1, ui->lblPlotX_2, ui->lblPlotX_3, ui->lblPlotX_4};
    LineX = {ui->LineX_0, ui->LineX_1, ui->LineX_2, ui->LineX_3, ui->LineX_4};
    ui->pic1->setTraceColor(QColor(0, 0, 0));
    ui->pic2->setTraceColor(QColor(0, 150, 0));

    // Which backends the readings come from, so simulated data is never taken
    // for a real sensor.
    auto* platformLabel = new QLabel(g.platform.description, this);
    platformLabel->setObjectName(QStringLiteral("lblPlatform"));
    ui->statusbar->addPermanentWidget(platformLabel);
    interfaceLabel_ = new QLabel(this);
    interfaceLabel_->setObjectName(QStringLiteral("lblInterface"));
    ui->statusbar->addWidget(interfaceLabel_);

    chartKeeper_ = new ChartKeeper(*this, g.ui,
                                   {{ui->pic1, QStringLiteral("Gyro_Out"), QStringLiteral("deg/s")},
                                    {ui->pic2, QStringLiteral("Temp_Out"), QStringLiteral("degC")}},
                                   ui->MnuExit);
    chartKeeper_->setCaptionSource([this] { return chartCaption(); });
    connect(chartKeeper_, &ChartKeeper::pausedChanged, this, [this](bool paused) {
        if (!paused) {
            showRateRange();
            showTemperatureRange();
        }
    });
    AddHelpMenu(*this, g.ui, g.AppTitle,
                [this] { return AboutText(g.AppTitle, interfaceLabel_->text(), g.platform.description); });

    // The readout loop changes the window on every pass; paint at the display's pace.
    new PaintPacer(this, FrameIntervalMs);
    connectControls();
    // The angle row starts disabled; caption colour and state agree from the start.
    setAngleRowEnabled(false);
}

frmForm1::~frmForm1() = default;

void frmForm1::connectControls()
{
    connect(ui->cmdReadData, &QPushButton::clicked, this, &frmForm1::cmdReadData_Click);
    connect(ui->ckLoop, &QCheckBox::toggled, this, &frmForm1::ckLoop_Click);
    connect(ui->txtLoopDelay, &QLineEdit::textChanged, this, &frmForm1::txtLoopDelay_Change);
    for (int i = 1; i <= 5; ++i)
        lblReg[i]->installEventFilter(this);

    connect(ui->cmdScaleGyro, &QPushButton::clicked, this, &frmForm1::cmdScaleGyro_Click);
    connect(ui->cmdScaleAcc, &QPushButton::clicked, this, &frmForm1::cmdScaleAcc_Click);
    connect(ui->pic1, &StripChart::chartMouseMove, this, &frmForm1::pic1_MouseMove);
    connect(ui->pic2, &StripChart::chartMouseMove, this, &frmForm1::pic2_MouseMove);

    connect(ui->CmdUpdateStatus, &QPushButton::clicked, this, &frmForm1::CmdUpdateStatus_Click);
    // An option button's handler runs when it becomes the selected one.
    connect(ui->optSTON, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optSTON_Click();
    });
    connect(ui->optSTOFF, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optSTOFF_Click();
    });
    connect(ui->cmdPowerDown, &QPushButton::clicked, this, &frmForm1::cmdPowerDown_Click);
    connect(ui->txtPowerDown, &QLineEdit::textChanged, this, &frmForm1::txtPowerDown_Change);

    connect(ui->mnuPort, &QAction::triggered, this, &frmForm1::mnuPort_Click);
    connect(ui->mnuUsb, &QAction::triggered, this, &frmForm1::mnuUsb_Click);
    connect(ui->mnu27130, &QAction::triggered, this, &frmForm1::mnu27130_Click);
    connect(ui->mnu27140, &QAction::triggered, this, &frmForm1::mnu27140_Click);
    connect(ui->MnuExit, &QAction::triggered, this, &frmForm1::MnuExit_Click);
    connect(ui->MnuAlarms, &QAction::triggered, this, &frmForm1::MnuAlarms_Click);
    connect(ui->mnuRegisters, &QAction::triggered, this, &frmForm1::mnuRegisters_Click);
    connect(ui->mnuOperation, &QAction::triggered, this, &frmForm1::mnuOperation_Click);
    connect(ui->MnuCal, &QAction::triggered, this, &frmForm1::MnuCal_Click);
    connect(ui->mnuDatalog, &QAction::triggered, this, &frmForm1::mnuDatalog_Click);
    connect(ui->mnuNoiseAnalysis, &QAction::triggered, this, &frmForm1::mnuNoiseAnalysis_Click);
}

void frmForm1::Form_Load()
{
    g.OsName = OsFamilyName(g.platform.os.query());
    chosenInterface_ = fileInterface_.value_or(g.InterfaceType);
    bringUpInterface();

    for (QLabel* label : {ui->lblCurVal1, ui->lblCurSam1, ui->lblCurVal2, ui->lblCurSam2})
        label->setText(QStringLiteral("0"));
    ui->txtLoopDelay->setText(QStringLiteral("5"));
    setDevice(g.ProductNumber);

    QString caption = QStringLiteral("Korvex - ") + g.AppTitle;
    if (!g.platform.description.isEmpty())
        caption += QStringLiteral(" (") + g.platform.description + QLatin1Char(')');
    setWindowTitle(caption);

    // The power-down panel's texts, whatever the interface: no design text shows.
    ui->txtPowerDown->setText(QStringLiteral("0"));
    SetText(ui->lblPDElapsed, FormatNumber(0.0, QStringLiteral("0.0")));
    showInterfaceChecks();
    if (g.InterfaceType != InterfaceParallel && g.InterfaceType != InterfaceUsb) {
        showNoReadings(); // no interface: nothing is read, and nothing looks read
        return;
    }

    CmdUpdateStatus_Click();

    if (ReadRegister(g, Idx_Msc_Ctrl))
        g.MscCtrlShadow = g.RegWord;
    ReadControlRegisters(g);
    ReadRegister(g, Idx_Sens_Avg);

    ReadData(); // "Read" still shows, so this is exactly one pass
    // A supply that could not be read is no low supply: the transport said what failed.
    const QString supply = lblRegDat[Idx_Supply_Out]->text();
    if (IsNumeric(supply) && TextNumber(supply) < 3)
        g.ui.message(QStringLiteral("Suppl_Out < 3 V,  Check Dut Connections / Power"));

    ui->ckLoop->setChecked(true);
    setAngleRowEnabled(false);
    SetGyroScale(g);
}

void frmForm1::bringUpInterface()
{
    switch (g.InterfaceType) {
    case InterfaceParallel:
        // The driver is needed on the NT family only; on every family the port must
        // answer at its address, or there is no interface (the reason was shown).
        if (OpenParallelPort(g))
            ui->mnuPort->setChecked(true);
        else
            g.InterfaceType = InterfaceNone;
        break;
    case InterfaceUsb:
        if (g.OsName == QLatin1String("Win95")) {
            g.ui.message(QStringLiteral("USB not available for Windows95"));
            g.InterfaceType = InterfaceNone;
            ui->mnuUsb->setChecked(false);
            ui->mnuUsb->setVisible(false);
        } else if (OpenUsbCard(g)) {
            ui->mnuUsb->setChecked(true);
        } else {
            // As the Interface menu does: without a card chosen there is no interface.
            // The search just made told why; the window shows its outcome without
            // searching (and telling) again.
            showUsbSelect(false);
            if (!g.UsbCardReady)
                g.InterfaceType = InterfaceNone;
            if (usbSelect_->NoCardChosenByUser())
                chosenInterface_ = InterfaceNone;
        }
        break;
    default:
        g.InterfaceType = InterfaceNone;
        g.ui.message(QStringLiteral("Please select an interface before taking data"));
        break;
    }
}

void frmForm1::showInterfaceChecks()
{
    ui->mnuPort->setChecked(g.InterfaceType == InterfaceParallel);
    ui->mnuUsb->setChecked(g.InterfaceType == InterfaceUsb);
    ui->mnu27130->setChecked(g.ProductNumber == 27130);
    ui->mnu27140->setChecked(g.ProductNumber == 27140);
    showInterfaceState();
}

void frmForm1::showInterfaceState()
{
    QString state;
    switch (g.InterfaceType) {
    case InterfaceParallel:
        state =
            QStringLiteral("Parallel port ") + QString::number(PortBaseValue(g.PortAddress), 16).toUpper();
        break;
    case InterfaceUsb:
        state = g.UsbCardReady ? QStringLiteral("USB card ") + g.SelectedUsbBoard.DeviceName
                               : QStringLiteral("USB card not answering: search again under Interface, Usb");
        break;
    default:
        state = QStringLiteral("No interface: choose one under Interface");
        break;
    }
    SetText(interfaceLabel_, state);
}

void frmForm1::readSensorSetup()
{
    ReadControlRegisters(g);
    SetGyroScale(g);
}

void frmForm1::setDevice(std::int16_t ProdNum)
{
    g.ProductNumber = ProdNum;
    ui->mnu27130->setChecked(ProdNum == 27130);
    ui->mnu27140->setChecked(ProdNum == 27140);
    GyroHiPk = 400;
    GyroLowPk = -GyroHiPk;
    TempHiPk = 90;
    TempLowPk = -45;
    showRateRange();
    showTemperatureRange();
    ui->FrameDataPLot->setTitle(QStringLiteral("Data Plot   Device = ") + QString::number(ProdNum));
}

void frmForm1::mnuPort_Click()
{
    // The window's OK makes the parallel port the interface; Cancel leaves the
    // interface as it was, also when an address is stored from an earlier run.
    if (showPortSetup() && g.InterfaceType == InterfaceParallel) {
        chosenInterface_ = InterfaceParallel;
        readSensorSetup();
    }
    showInterfaceChecks();
}

void frmForm1::mnuUsb_Click()
{
    showUsbSelect();
    // The user chose the USB card, also when the search finds none, unless they
    // chose "no card" in the window.
    chosenInterface_ = usbSelect_->NoCardChosenByUser() ? InterfaceNone : InterfaceUsb;
    g.InterfaceType = g.UsbCardReady ? InterfaceUsb : InterfaceNone;
    if (g.InterfaceType == InterfaceUsb) {
        readSensorSetup();
    } else {
        endReadoutLoop(); // "Read" does nothing without an interface, so it must not say "STOP"
        showNoReadings();
    }
    showInterfaceChecks();
}

void frmForm1::showUsbSelect(bool searchOnOpening)
{
    if (usbSelect_ == nullptr)
        usbSelect_ = new frmUSBselect(g, this);
    if (!searchOnOpening)
        usbSelect_->ShowLastSearchOnNextOpening();
    usbSelect_->exec();
}

bool frmForm1::showPortSetup()
{
    if (portSetup_ == nullptr)
        portSetup_ = new frmPort(g, this);
    return portSetup_->exec() == QDialog::Accepted;
}

void frmForm1::MnuAlarms_Click()
{
    // Loaded for each opening; "Close Window" unloads it.
    frmAlarms alarms(g, this);
    alarms.exec();
    showLinkState();
}

void frmForm1::mnuRegisters_Click()
{
    if (manualReg_ == nullptr)
        manualReg_ = new frmManualReg(g, this);
    manualReg_->exec();
    showLinkState();
}

void frmForm1::mnuOperation_Click()
{
    frmOperationalControl window(g, this);
    window.Form_Load();
    window.exec();
    showLinkState();
}

void frmForm1::MnuCal_Click()
{
    fmCalibration window(g, this);
    window.Form_Load();
    window.exec();
    showLinkState();
}

void frmForm1::mnuDatalog_Click()
{
    // Loaded for each opening: the defaults come back and the readout loop is cleared.
    frmDatalog window(g, this, [this] { ui->ckLoop->setChecked(false); });
    window.exec();
    showLinkState(); // a card that failed during the run says so here too
}

void frmForm1::showLinkState()
{
    showInterfaceState();
    if (g.InterfaceType == InterfaceUsb && !g.UsbCardReady)
        showNoReadings(); // as a failed readout shows it: no old number, no green "OK"
}

void frmForm1::mnuNoiseAnalysis_Click()
{
    // Loaded for each opening, like the datalog window; it offers the last run's file.
    frmNoiseAnalysis window(g, this);
    window.exec();
}

void frmForm1::StartReadoutLoop()
{
    ui->cmdReadData->click();
}

void frmForm1::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // A running log stops after its current sample and still writes its current
    // file whole: the run is further down this call's stack and finishes as the
    // program's event loops unwind.
    for (frmDatalog* datalog : findChildren<frmDatalog*>())
        datalog->CancelRun();
    for (frmNoiseAnalysis* analysis : findChildren<frmNoiseAnalysis*>())
        analysis->CancelRun();
    DelayMs(g, 250);
    // The file keeps the interface the user chose: one the program found failing
    // (no card, a port that does not answer) is no choice of the user's.
    InterfaceValues kept = InterfaceValuesOf(g);
    kept.InterfaceType = chosenInterface_;
    if (QString reason; !SaveInterfaceSettings(kept, g.SettingsFile, &reason))
        g.ui.message(SettingsNotSavedText(g.SettingsFile, reason), MsgButtons::Ok, MsgIcon::Exclamation);
    // Every other window goes with this one, also one shown modally right now.
    for (QDialog* window : findChildren<QDialog*>()) {
        if (window->isVisible())
            window->done(QDialog::Rejected);
    }
    emit programEnded();
}

void frmForm1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

bool frmForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (int i = 1; i <= 5; ++i) {
            if (watched == lblReg[i])
                lblReg_Click(i);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace gyro
