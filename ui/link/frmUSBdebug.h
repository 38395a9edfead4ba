#pragma once
// "USB SPI Card Setup": the engineer's view of the USB SPI card below the register
// protocol. Lists the cards, chooses one, sets and reads back its static chip-select
// bits, chip-select channel, data-input polarity and word delay, and sends up to 16
// raw SPI words once or in a loop, showing the words clocked back.
#include "ControlArray.h"
#include "GyroState.h"
#include "UsbCardList.h"
#include "UsbSpiDrivers.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace Ui {
class frmUSBdebug;
}

namespace gyro {

class frmUSBdebug : public QDialog {
    Q_OBJECT

public:
    static constexpr int KeyEnter = 13;

    // Load: builds the window (a child of `parent`, else of the main window) and
    // places it at the main window's corner.
    frmUSBdebug(GyroState& g, QWidget* mainWindow, QWidget* parent = nullptr);
    ~frmUSBdebug() override;

    // Event procedures.
    void Form_Activate();
    void cmdFindEzUsb_Click();
    void optUsbPort_Click(int index);
    void optSpiChan_Click(int index);
    void cmdPolarity_Click();
    void cmdReadBits_Click();
    void cmdSetSpiBits_Click();
    void cmdReadDelay_Click();
    void txtLoopDelay_KeyDown(int keyCode);
    void cmdWriteSpi_Click();
    void cmdLoop_Click();
    void cmdExit_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void notReady();
    void selectUsbPort(int index);
    void selectSpiChan(int index);
    void showLoopDelay();
    void showReadback();
    void setSetupFramesEnabled(bool enabled);

    GyroState& g_;
    std::unique_ptr<Ui::frmUSBdebug> ui_;
    ControlArray<QRadioButton> optUsbPort;
    ControlArray<QLineEdit> txtUsbPort;
    ControlArray<QLineEdit> txtDescript0;
    ControlArray<QLineEdit> txtDescript1;
    ControlArray<QLineEdit> txtDriverRev;
    ControlArray<QLineEdit> txtSpeed;
    ControlArray<QCheckBox> chkStaticBits;
    ControlArray<QRadioButton> optSpiChan;
    ControlArray<QLineEdit> txtWriteSpi;
    ControlArray<QLineEdit> txtReadSpi;
    UsbCardRows cardRows_;
    UsbTransferWords words_; // the words this window sends and the card's answers
    bool loopRunning_ = false;
};

} // namespace gyro
