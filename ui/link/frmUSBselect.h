#pragma once
// "USB SPI Card Selection": lists the cards a search finds under "Ezusb-0" ..
// "Ezusb-3" and lets the user choose one, or none; opens the card setup window.
#include "ControlArray.h"
#include "GyroState.h"
#include "UsbCardList.h"

#include <QDialog>
#include <memory>

class QLineEdit;
class QRadioButton;

namespace Ui {
class frmUSBselect;
}

namespace gyro {

class frmUSBdebug;

class frmUSBselect : public QDialog {
    Q_OBJECT

public:
    // Load: builds the window and places it at the main window's corner.
    frmUSBselect(GyroState& g, QWidget* mainWindow);
    ~frmUSBselect() override;

    // Event procedures.
    void Form_Activate();
    void cmdFindEzUsb_Click();
    void optUsbPort_Click(int index);
    void cmdDebugUsb_Click();
    void cmdExit_Click();

    // The next opening shows the outcome of the search just made instead of
    // searching again, so a failure that search told is not told twice ("Search"
    // still searches).
    void ShowLastSearchOnNextOpening() { searchOnOpening_ = false; }

    // Whether the user chose "no card" by hand since the window last opened or
    // searched: a choice of no interface, unlike a search that finds none.
    bool NoCardChosenByUser() const { return noCardChosen_; }

    // The card setup window, once the Debug button has opened it.
    frmUSBdebug* debugWindow() const { return debugWindow_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void selectUsbPort(int index);
    void showSelectedCard();

    GyroState& g_;
    QWidget* mainWindow_;
    std::unique_ptr<Ui::frmUSBselect> ui_;
    ControlArray<QRadioButton> optUsbPort;
    ControlArray<QLineEdit> txtDescript0;
    ControlArray<QLineEdit> txtDriverRev;
    ControlArray<QLineEdit> txtSpeed;
    UsbCardRows cardRows_;
    frmUSBdebug* debugWindow_ = nullptr; // child of this window, built on first use
    bool searchOnOpening_ = true;
    bool noCardChosen_ = false;
};

} // namespace gyro
