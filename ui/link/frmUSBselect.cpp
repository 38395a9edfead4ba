#include "frmUSBselect.h"

#include "EzUsb.h"
#include "UsbSpiDrivers.h"
#include "WindowBehaviour.h"
#include "frmUSBdebug.h"
#include "ui_frmUSBselect.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace gyro {

constexpr int NoCardOption = 4;

frmUSBselect::frmUSBselect(GyroState& g, QWidget* mainWindow)
    : QDialog(mainWindow), g_(g), mainWindow_(mainWindow), ui_(std::make_unique<Ui::frmUSBselect>())
{
    ui_->setupUi(this);
    optUsbPort = {*this, QStringLiteral("optUsbPort"), 0, 4};
    txtDescript0 = {*this, QStringLiteral("txtDescript0"), 0, 3};
    txtDriverRev = {*this, QStringLiteral("txtDriverRev"), 0, 3};
    txtSpeed = {*this, QStringLiteral("txtSpeed"), 0, 3};
    for (int k = 0; k < 4; ++k)
        cardRows_[static_cast<std::size_t>(k)] = {.option = optUsbPort(k),
                                                  .descriptor0 = txtDescript0(k),
                                                  .revision = txtDriverRev(k),
                                                  .speed = txtSpeed(k)};
    for (int k = 0; k <= NoCardOption; ++k)
        connect(optUsbPort(k), &QRadioButton::clicked, this, [this, k] {
            noCardChosen_ = k == NoCardOption; // by the user's hand
            optUsbPort_Click(k);
        });
    connect(ui_->cmdFindEzUsb, &QPushButton::clicked, this, &frmUSBselect::cmdFindEzUsb_Click);
    connect(ui_->cmdDebugUsb, &QPushButton::clicked, this, &frmUSBselect::cmdDebugUsb_Click);
    connect(ui_->cmdExit, &QPushButton::clicked, this, &frmUSBselect::cmdExit_Click);
    PlaceAtMainWindowCorner(*this, mainWindow_);
}

frmUSBselect::~frmUSBselect() = default;

void frmUSBselect::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
}

void frmUSBselect::closeEvent(QCloseEvent* event)
{
    // Closing from the title bar only hides the window, as "OK" does.
    event->ignore();
    cmdExit_Click();
}

void frmUSBselect::Form_Activate()
{
    noCardChosen_ = false;
    if (!searchOnOpening_) {
        searchOnOpening_ = true; // once
        showSelectedCard();
        return;
    }
    cmdFindEzUsb_Click();
}

void frmUSBselect::cmdFindEzUsb_Click()
{
    noCardChosen_ = false;
    SearchUsbCards(g_, cardRows_, [this](int k) { selectUsbPort(k); });
}

void frmUSBselect::selectUsbPort(int index)
{
    SelectOption(*optUsbPort(index), [this, index] { optUsbPort_Click(index); });
}

void frmUSBselect::optUsbPort_Click(int index)
{
    if (index == NoCardOption) {
        g_.UsbCardReady = false;
        g_.UsbLoopStopped = true;
        return;
    }
    // The chosen card gets the current settings (nothing goes out while no card is ready).
    SelectUsbBoard(g_, index);
    TellIfFailed(g_.ui, UsbSetWordDelay(g_, g_.UsbWordDelay));
    TellIfFailed(g_.ui, UsbSetSpiBits(g_, g_.UsbSpiBits));
}

void frmUSBselect::cmdDebugUsb_Click()
{
    if (debugWindow_ == nullptr)
        debugWindow_ = new frmUSBdebug(g_, mainWindow_, this);
    debugWindow_->exec();
    showSelectedCard();
}

void frmUSBselect::showSelectedCard()
{
    // The setup window may have searched again or chosen another card: show its
    // outcome here without sending anything.
    ShowUsbCards(g_, cardRows_);
    int selected = NoCardOption;
    if (g_.UsbCardReady) {
        for (int k = 0; k < 4; ++k) {
            const UsbBoardInfo& board = g_.UsbBoards[static_cast<std::size_t>(k)];
            if (board.Present && board.DeviceName == g_.SelectedUsbBoard.DeviceName)
                selected = k;
        }
    }
    optUsbPort(selected)->setChecked(true);
}

void frmUSBselect::cmdExit_Click()
{
    accept();
}

} // namespace gyro
