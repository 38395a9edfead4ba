#pragma once
// "Parallel Port Setup": the user types the port's base address in hexadecimal;
// OK makes the parallel port the interface and, on the NT family, installs and
// opens the port driver once per run.
#include "GyroState.h"

#include <QDialog>
#include <memory>

namespace Ui {
class frmPort;
}

namespace gyro {

class frmPort : public QDialog {
    Q_OBJECT

public:
    // Load: builds the window and places it at the main window's corner.
    frmPort(GyroState& g, QWidget* mainWindow);
    ~frmPort() override;

    // Event procedures.
    void Form_Activate();
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    GyroState& g_;
    std::unique_ptr<Ui::frmPort> ui_;
};

} // namespace gyro
