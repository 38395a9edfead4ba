#pragma once
// "Operational Control": the sensor's sample rate, filter taps, bandwidth and range
// (each written by its "Update" button), the two I/O lines and the data-ready line
// (written as soon as an option is chosen), the auxiliary DAC and the flash update.
// Loaded from the sensor when it opens; the owner builds a fresh one each time.
#include "GyroState.h"

#include <QDialog>
#include <memory>

class QLabel;

namespace Ui {
class frmOperationalControl;
}

namespace gyro {

class frmOperationalControl final : public QDialog {
    Q_OBJECT
public:
    // Builds the window and places it at the main window's corner.
    frmOperationalControl(GyroState& g, QWidget* mainWindow);
    ~frmOperationalControl() override;

    // Reads Smpl_Prd, Sens_Avg, Gpio_Ctrl, Msc_Ctrl and Aux_DAC into the controls;
    // writes nothing.
    void Form_Load();

    // Event procedures.
    void cmdWriteSmpl_prd_Click();
    void cmdWriteSensAvg_Click();
    void Write_GPIO_ctrl();
    void Write_MSC_Ctrl();
    void cmdWriteAuxDac_Click();
    void cmdFlash_Click();
    void cmdClose_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void showSamplePeriod(const std::optional<std::int32_t>& word);
    void showRange(int rangeCode);
    void showGpio(const std::optional<std::int32_t>& word);
    void showMsc(const std::optional<std::int32_t>& word);
    void showAuxDac(const std::optional<std::int32_t>& word);

    GyroState& g;
    std::unique_ptr<Ui::frmOperationalControl> ui;
    // The words Gpio_Ctrl and Msc_Ctrl held when they last answered (0 before).
    std::int32_t gpioWord_ = 0;
    std::int32_t mscWord_ = 0;
};

} // namespace gyro
