#pragma once
// "ALARM CONFIGURATION AND CONTROL": the sensor's two alarms (source, trigger level
// and polarity, average number, rate of change) and its alarm indicator line. Each
// opening reads the five alarm registers; each Update writes its group, and the
// window is filled again from the sensor so it shows what the registers hold.
#include "GyroState.h"

#include <QDialog>
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace Ui {
class frmAlarms;
}

namespace gyro {

class frmAlarms final : public QDialog {
    Q_OBJECT
public:
    // Load: builds the window and places it at the main window's corner.
    frmAlarms(GyroState& g, QWidget* mainWindow);
    ~frmAlarms() override;

    // Fills the source lists and reads the alarm setup; runs on each showing.
    void Form_Activate();
    // Reads the five alarm registers and fills every control; a register that did
    // not answer shows "----" and no value.
    void ReadAlarmSetup();

    // Update buttons, flash update and close.
    void cmdWriteA1_Click();
    void cmdWriteA2_Click();
    void cmdWriteAlmSmpl1_Click();
    void cmdWriteAlmSmpl2_Click();
    void cmdAdio_Click();
    void cmdFlash_Click();
    void cmdClose_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void connectControls();
    void WriteAlarmSetup();
    void writeAverage(int alarm);
    void showAlarm(int alarm, const std::optional<std::int32_t>& mag, const std::optional<std::int32_t>& smpl,
                   const std::optional<std::int32_t>& ctrl);
    void showControlWord(const std::optional<std::int32_t>& ctrl);
    // Marks `button` pending when the user changed one of its inputs.
    void changed(QPushButton* button);

    // Alarm 1 or 2's controls.
    QComboBox* sourceBox(int alarm) const;
    QLineEdit* levelBox(int alarm) const;
    QLineEdit* averageBox(int alarm) const;
    // The source list position the selector holds: the selected entry, or an entry
    // whose text was typed; nothing for any other typed text.
    std::optional<int> selectedSource(int alarm) const;

    GyroState& g;
    std::unique_ptr<Ui::frmAlarms> ui;
    bool ReadingSetup = false; // the change handlers do nothing while the window is filled
};

} // namespace gyro
