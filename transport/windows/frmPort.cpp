#include "frmPort.h"

#include "HexText.h"
#include "ParallelSpi.h"
#include "PortDriver.h"
#include "WindowBehaviour.h"
#include "ui_frmPort.h"

#include <QShowEvent>

namespace gyro {

constexpr std::int16_t InterfaceParallelPort = 1;

frmPort::frmPort(GyroState& g, QWidget* mainWindow)
    : QDialog(mainWindow), g_(g), ui_(std::make_unique<Ui::frmPort>())
{
    ui_->setupUi(this);
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
    if ((g_.OsName == QStringLiteral("WinXP") || g_.OsName == QStringLiteral("WinNT")) && !g_.PortDriverReady)
        openPortDriver();
    accept();
}

void frmPort::openPortDriver()
{
    InstallPortDriver(g_);
    // The ports open to the program only if giveio says so; otherwise the next OK
    // tries again and the lines are not touched.
    const QString failure = g_.platform.port.giveio();
    if (!failure.isEmpty()) {
        g_.ui.message(failure, MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("Error"));
        return;
    }
    g_.PortDriverReady = true;
    PortSpiInit(g_);
}

void frmPort::cmdCancel_Click()
{
    reject();
}

} // namespace gyro
