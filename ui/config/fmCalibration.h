#pragma once
// "Calibration": the sensor's automatic null and factory restore, the bias
// averaging run (Run/STOP, countdown, running mean, sample count and the proposed
// offset), the offset register entered by hand, and the flash update. Loaded from
// the sensor when it opens; the owner builds a fresh one each time.
#include "GyroState.h"
#include "OffsetEntry.h"

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class fmCalibration;
}

namespace gyro {

class fmCalibration final : public QDialog {
    Q_OBJECT
public:
    // Builds the window and places it at the main window's corner.
    fmCalibration(GyroState& g, QWidget* mainWindow);
    ~fmCalibration() override;

    // Reads the offset register and resets the averaging fields; writes nothing.
    void Form_Load();

    // Event procedures.
    void ReadCalRegisters();
    void cmdAvgCalc_Click();
    void AVGCalc();
    void cmdAutoNull_Click();
    void cmdFactoryCal_Click();
    void cmdCal_GX_Click();
    void cmdFlash_Click();
    void cmdClose_Click();

    // Closing the window by any road (button, title bar, Esc, the main window going)
    // ends a running averaging run after its current sample, and puts back the
    // offset an averaging run cleared unless its proposal (or another offset) was
    // written since.
    void done(int result) override;

private:
    void showOffset(const std::optional<OffsetReading>& reading);
    void runOffsetCommand(std::int32_t code);
    // Writes back the offset the first run since the last offset write cleared.
    void restoreClearedOffset();

    GyroState& g;
    std::unique_ptr<Ui::fmCalibration> ui;
    bool closing_ = false;
    bool averaging_ = false;
    // What GYRO_OFST held before an averaging run cleared it, until an offset is
    // written again (the proposal applied, a value entered, null or factory restore).
    std::optional<OffsetReading> clearedOffset_;
};

} // namespace gyro
