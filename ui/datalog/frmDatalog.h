#pragma once
// "Datalog Control": what to log, in which format, how many samples and files;
// its button starts a logging run and, while the run goes on, cancels it. The
// run itself is RunDatalog below the windows; this window turns its controls
// into the run's settings and shows the run's progress.
#include "ControlArray.h"
#include "DatalogSettings.h"
#include "GyroState.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;

namespace Ui {
class frmDatalog;
}

namespace gyro {

class frmDatalog : public QDialog {
    Q_OBJECT

public:
    // Load: builds the window, sets the defaults, clears the main window's "Loop"
    // box through `clearMainLoop` and places the window at the main window's corner.
    frmDatalog(GyroState& g, QWidget* mainWindow, std::function<void()> clearMainLoop = {});
    ~frmDatalog() override;

    // Event procedures.
    void Form_Load();
    void Form_Activate();
    void cmdStartDatalog_Click();

    // Whether a logging run is going on.
    bool isRunning() const { return running_; }
    // Asks a running log to stop as "Cancel Datalog" does: the current sample
    // completes and the current file is written whole. Nothing when idle.
    void CancelRun();

    // The data-selection boxes, CheckReg(1..5).
    ControlArray<QCheckBox> CheckReg;

    // Kept by the change handlers of the name and number boxes.
    QString FileName;
    double SamplesPerFile = 0;
    double FilesPerSession = 0;

public slots:
    // The title bar's close and Esc during a run cancel it; the window closes
    // once the current file is written.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RunDatalog();
    void txtDirectory_Change();
    void txtFileName_Change();
    void txtSampleDelay_Change();
    void txtSamplesPerFile_Change();
    void txtFilesPerSession_Change();
    DatalogSettings settingsFromControls() const;
    void showRunning(bool running);
    // The end of a sensor-paced run: the status line, and a message when samples were missed.
    void showSamplesMissed(std::int64_t taken, std::int64_t missed);

    GyroState& g_;
    std::unique_ptr<Ui::frmDatalog> ui_;
    std::function<void()> clearMainLoop_;
    bool running_ = false;
    bool closeAfterRun_ = false;
};

} // namespace gyro
