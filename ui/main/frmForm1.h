#pragma once
// The main window: output-register readout and polling loop, the rate and
// temperature strip charts, the status, self-test and power-down panels, the
// interface and device menus, and the program's start-up and shut-down of the
// sensor link. It lives from start-up to the end of the program.
#include "ChartScale.h"
#include "GyroState.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QFrame;
class QLabel;

namespace Ui {
class frmForm1;
}

namespace gyro {

// What a reading label or status flag shows when there is no reading.
extern const QString NoReading;

class ChartKeeper;
class StripChart;
class frmManualReg;
class frmPort;
class frmUSBselect;

class frmForm1 final : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window from its form; Form_Load brings up the sensor link.
    explicit frmForm1(GyroState& g, QWidget* parent = nullptr);
    ~frmForm1() override;

    // Start-up: operating-system family, the interface of the settings file,
    // device model, status, control registers, one readout pass and the gyro scale.
    void Form_Load();
    // Before Form_Load, when this run's interface came from the command line: the
    // interface CommPort.cfg named, which the file keeps unless the user picks another.
    void KeepFileInterface(std::int16_t fileInterface) { fileInterface_ = fileInterface; }
    // Shut-down: 250 ms wait, settings file, every other window closed; then
    // programEnded() tells the owner to end the program. Runs once.
    void Form_Unload();
    // Selects the device model: menu check marks, chart ranges, axis labels, caption.
    void setDevice(std::int16_t ProdNum);
    // One readout pass, repeated while "STOP" shows and "Loop" is checked.
    void ReadData();
    // Reads the status register and shows its eight flags.
    void CmdUpdateStatus_Click();
    // Presses "Read" as the user would (the loop starts when "Loop" is checked).
    void StartReadoutLoop();
    // Pause and export of the strip charts.
    ChartKeeper& charts() { return *chartKeeper_; }

    // Top and bottom of the rate and temperature chart ranges.
    double GyroHiPk = 0.0;
    double GyroLowPk = 0.0;
    double TempHiPk = 0.0;
    double TempLowPk = 0.0;

    // Control arrays under their established indexes: rows 1..5, marks 0..4.
    std::array<QLabel*, 6> lblReg{};
    std::array<QLabel*, 6> lblRegDat{};
    std::array<QLabel*, 5> lblPlotX{};
    std::array<QFrame*, 5> LineX{};

signals:
    // Form_Unload has finished: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using YValues = std::array<float, 13>; // Yvalue(0..12); rows 1..5 are filled

    // Readout panel.
    void cmdReadData_Click();
    void ckLoop_Click();
    void txtLoopDelay_Change();
    void lblReg_Click(int Index);
    // A running readout loop ends at its next test ("STOP" becomes "Read").
    void endReadoutLoop();
    void showSupplyWarning();
    // A running loop shows its readings at a readable pace; the passes between wait.
    bool loopRunning() const;
    void showReadings(const YValues& Yvalue);
    // Charts.
    void PlotDataPointsGy(const YValues& Yvalue, double& HiPk, double& LowPk);
    void PlotDataPointsAcc(const YValues& Yvalue, double& HiPk, double& LowPk);
    void cmdScaleGyro_Click();
    void cmdScaleAcc_Click();
    void pic1_MouseMove(double X, double Y);
    void pic2_MouseMove(double X, double Y);
    void showRateRange();
    void showTemperatureRange();
    bool chartsPaused() const;
    // Heads exported chart pictures: program, device, time and platform.
    QString chartCaption() const;
    // Self-test and power-down.
    void optSTON_Click();
    void optSTOFF_Click();
    void cmdPowerDown_Click();
    void txtPowerDown_Change();
    // Menus.
    void mnuPort_Click();
    void mnuUsb_Click();
    void mnu27130_Click() { setDevice(27130); }
    void mnu27140_Click() { setDevice(27140); }
    void MnuExit_Click() { close(); }
    void MnuAlarms_Click();
    void mnuRegisters_Click();
    // The configuration windows, built afresh (and so read from the sensor) on each opening.
    void mnuOperation_Click();
    void MnuCal_Click();
    // The datalog window, loaded for each opening and shown modally.
    void mnuDatalog_Click();
    void mnuNoiseAnalysis_Click();
    // Load steps.
    void bringUpInterface();
    void showInterfaceChecks();
    // The status bar's word on the interface in use, or that there is none.
    void showInterfaceState();
    // After a task window: the status bar, and for a card that failed meanwhile no
    // readings and no flags, as a failed readout shows them.
    void showLinkState();
    // Rows and flags that hold no reading: no interface, or a failed read.
    void showNoReadings();
    void showStatusUnknown();
    void showStatusWord(std::int32_t status);
    // One pass's outputs into Yvalue (NaN where no answer came); with the burst also
    // the status word, read in the same transfer.
    std::optional<std::int32_t> readOutputs(YValues& Yvalue);
    // After an interface was chosen from the menu, as the load does: the control
    // register shadows and the rate scale from what the sensor holds.
    void readSensorSetup();
    // The transport setup windows, created on first use and shown modally.
    void showUsbSelect(bool searchOnOpening = true);
    // True when the window closed with OK (the parallel port brought up).
    bool showPortSetup();

    void connectControls();
    void setAngleRowEnabled(bool enabled);

    GyroState& g;
    std::unique_ptr<Ui::frmForm1> ui;
    frmUSBselect* usbSelect_ = nullptr;
    frmPort* portSetup_ = nullptr;
    QLabel* interfaceLabel_ = nullptr;
    ChartKeeper* chartKeeper_ = nullptr; // the Charts menu and the charts' context menus
    QPointer<frmManualReg> manualReg_;   // null again once its title bar unloads it
    RateScaleSteps rateScale_;
    TemperatureScaleSteps temperatureScale_;
    bool angleRowEnabled_ = false;
    QElapsedTimer sinceReadingsShown_;
    std::optional<YValues> readingsNotShown_; // a loop pass's, until a newer one shows
    bool unloaded_ = false;                   // every running loop ends once the window unloads
    // The interface the user chose (in CommPort.cfg or from the Interface menu), kept
    // in the file whatever the program found failing since.
    std::int16_t chosenInterface_ = 0;
    std::optional<std::int16_t> fileInterface_; // see KeepFileInterface
};

} // namespace gyro
