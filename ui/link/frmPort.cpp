#include "frmPort.h"

#include "HexText.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "PortAddress.h"
#include "WindowBehaviour.h"
#include "ui_frmPort.h"

#include <QShowEvent>

namespace gyro {

frmPort::frmPort(GyroState& g, QWidget* mainWindow)
    : QDialog(mainWindow), g_(g), ui_(std::make_unique<Ui::frmPort>())
{
    ui_->setupUi(this);
    UseFixedPitchFont(*ui_->txtUser);
    connect(ui_->cmdOK, &QPushButton::clicked, this, &frmPort::cmdOK_Click);
    connect(ui_->cmdCancel, &QPushButton::clicked, this, &frmPort::cmdCancel_Click);
    PlaceAtMainWindowCorner(*this, mainWindow);
}

frmPort::~frmPort() = default;

void frmPort::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void frmPort::Form_Activate()
{
    ui_->txtUser->setText(HexOfInteger(g_.PortAddress));
}

void frmPort::cmdOK_Click()
{
    const QString text = ui_->txtUser->text();
    if (text.isEmpty())
        return;
    const std::int16_t typed = HexToInteger(text);
    ui_->txtUser->setText(HexOfInteger(typed));
    // An address that cannot be a port's base ("0", "zz", "FFFF") never reaches
    // the port: the window stays open for a correction and nothing changes.
    if (!IsParallelPortBase(PortBaseValue(typed))) {
        g_.ui.message(NotAPortBaseMessage(text, PortBaseValue(typed)), MsgButtons::Ok, MsgIcon::Exclamation,
                      g_.AppTitle);
        return;
    }
    const std::int16_t previousAddress = g_.PortAddress;
    const InterfaceKind previousInterface = ChosenInterface(g_);
    g_.PortAddress = typed;
    ChooseInterface(g_, InterfaceKind::ParallelPort);
    // On the NT family, once per run: driver, ports, idle lines; then the port at
    // this address must answer. A failure is told; the window stays open
    // with the interface as it was, and the next OK tries again.
    if (!TellOpening(g_.ui, OpenParallelPort(g_))) {
        g_.PortAddress = previousAddress;
        ChooseInterface(g_, previousInterface);
        return;
    }
    accept();
}

void frmPort::cmdCancel_Click()
{
    reject();
}

} // namespace gyro
