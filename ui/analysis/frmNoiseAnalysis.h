#pragma once
// "Noise Analysis": the Allan deviation, spectrum and noise terms of a log file's
// column, as `gyroctl allan` prints them. Thin: the reading and the analysis are
// analysis/; this window picks the file, column, rate and spacing, shows the plots
// and the table, exports the plots and copies the table. A long file is read with
// the progress bar moving and the window answering (the analysis yields to the
// event loop through the UI host), and the Analyze button cancels it.
#include "AnalysisPlot.h"
#include "GyroState.h"
#include "NoiseAnalysis.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class frmNoiseAnalysis;
}

namespace gyro {

class PlotView;

class frmNoiseAnalysis : public QDialog {
    Q_OBJECT

public:
    frmNoiseAnalysis(GyroState& g, QWidget* mainWindow);
    ~frmNoiseAnalysis() override;

    // Asks for a file name: open (true) or save, the dialog's title and filter; an
    // empty answer is a cancel. A file dialog by default; tests answer themselves.
    std::function<QString(bool open, const QString& title, const QString& filter)> chooseFile;

    // Event procedures.
    void Form_Load();
    void cmdOpenLog_Click();
    void cmdLastLog_Click();
    void cmdAnalyze_Click();
    void cmboColumn_Click();
    void cmdExportAllan_Click();
    void cmdExportPsd_Click();
    void cmdCopyTable_Click();

    // Takes a log file: its columns into the column list, then the analysis.
    void OpenLog(const QString& path);
    bool isRunning() const { return running_; }
    // Stops a running analysis at its next progress report, as "Cancel" does.
    void CancelRun() { cancelRequested_ = running_; }
    const std::optional<analysis::NoiseAnalysis>& result() const { return analysis_; }

public slots:
    // Esc or the title bar during an analysis cancel it; the window closes once it stopped.
    void reject() override;

private:
    void RunAnalysis();
    void showResult();
    void exportPlot(analysis::PlotKind kind, const QString& title);

    GyroState& g_;
    std::unique_ptr<Ui::frmNoiseAnalysis> ui_;
    PlotView* picAllan_;
    PlotView* picPsd_;
    std::optional<analysis::NoiseAnalysis> analysis_;
    bool running_ = false;
    bool cancelRequested_ = false;
    bool filling_ = false; // the column list is being filled: no analysis per entry
    bool closeAfterRun_ = false;
};

} // namespace gyro
