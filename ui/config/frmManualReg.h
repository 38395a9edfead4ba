#pragma once
// "Register Information": every register of the map as a table of names, addresses,
// raw words and values (refreshed, saved to "Registers_LOG.txt" or printed), and any
// single register read or written by name. "Close Window" hides the window with its
// contents; closing it from the title bar unloads it.
#include "GyroState.h"

#include <QDialog>
#include <functional>
#include <memory>

class QPrinter;

namespace Ui {
class frmManualReg;
}

namespace gyro {

class frmManualReg final : public QDialog {
    Q_OBJECT
public:
    // Load: places the window, fills the register list and builds the table.
    frmManualReg(GyroState& g, QWidget* mainWindow);
    ~frmManualReg() override;

    void cmdReadUserReg_Click();
    void cmdWriteFile_Click();
    void cmdPrint_Click();
    void cmboRegister_Click();
    void cmdRead_Click();
    void cmdWrite_Click();
    void cmdUpdateFlash_Click();
    void cmdClose_Click();

    // How "Print" gets its printer: the system's print dialog (with its print to a PDF
    // file); false when the user cancels. Tests set a PDF printer here.
    std::function<bool(QPrinter&)> choosePrinter;

protected:
    // The title bar's close unloads the window: the next use builds a fresh one.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load(QWidget* mainWindow);
    int chosenRegister() const; // the map index chosen in the list, or -1

    GyroState& g;
    std::unique_ptr<Ui::frmManualReg> ui;
};

} // namespace gyro
