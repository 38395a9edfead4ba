#include "frmPort.h"

#include "HexText.h"
#include "InterfaceBringUp.h"
#include "WindowBehaviour.h"
#include "ui_frmPort.h"

#include <QShowEvent>

namespace gyro {

constexpr std::int16_t InterfaceParallelPort = 1;

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
    if (ui_->txtUser->text().isEmpty())
        return;
    g_.PortAddress = HexToInteger(ui_->txtUser->text());
    ui_->txtUser->setText(HexOfInteger(g_.PortAddress));
    g_.InterfaceType = InterfaceParallelPort;
    // On the NT family, once per run: driver, ports, idle lines. A failure has
    // been shown and the next OK tries again.
    OpenParallelPort(g_);
    accept();
}

void frmPort::cmdCancel_Click()
{
    reject();
}

} // namespace gyro
