#include "frmNoiseAnalysis.h"

#include "AnalysisPlot.h"
#include "DrawingFormats.h"
#include "PlotView.h"
#include "ui_frmNoiseAnalysis.h"

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <algorithm>
#include <cmath>

namespace gyro {

namespace {

const QString AnalyzeCaption = QStringLiteral("Analyze");
const QString CancelCaption = QStringLiteral("Cancel");
const QString LogFilter = QStringLiteral("Logs (*.csv *.txt);;All files (*)");
const QString PlotFilter = DrawingFileFilter(QStringLiteral("PNG image (*.png)"));
constexpr int RuleColumn = 6; // of the noise terms table, the last

constexpr analysis::TauSpacing Spacings[] = {analysis::TauSpacing::Octave, analysis::TauSpacing::Decade,
                                             analysis::TauSpacing::All};

// The columns a noise analysis can take: the titles but the sample number, the
// time and the new-data flags; "column N" for a file without titles.
QStringList analysableColumns(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(16 * 1024);
    const analysis::LogLayout layout =
        analysis::DetectLogLayout(std::string_view(head.constData(), head.size()));
    QStringList columns;
    if (!layout.titles.isEmpty()) {
        for (qsizetype i = 0; i < layout.titles.size(); ++i) {
            const QString& t = layout.titles[i];
            if (t.isEmpty() || i == 0 || i == layout.timeColumn || t.endsWith(QLatin1String("ND")))
                continue;
            columns << t;
        }
        return columns;
    }
    const auto fields = analysis::SplitLogFields(
        analysis::FirstDataLine(std::string_view(head.constData(), head.size()), layout), layout.separator);
    for (std::size_t i = 0; i < fields.size(); ++i)
        columns << QStringLiteral("column %1").arg(i + 1);
    return columns;
}

// "reading" as the progress label shows it: "Reading".
QString stageText(const char* stage)
{
    QString text = QString::fromLatin1(stage);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

frmNoiseAnalysis::frmNoiseAnalysis(GyroState& g, QWidget* mainWindow)
    : QDialog(mainWindow), g_(g), ui_(std::make_unique<Ui::frmNoiseAnalysis>())
{
    ui_->setupUi(this);
    picAllan_ = new PlotView(analysis::PlotKind::Allan, this);
    picAllan_->setObjectName(QStringLiteral("picAllan"));
    picPsd_ = new PlotView(analysis::PlotKind::Spectrum, this);
    picPsd_->setObjectName(QStringLiteral("picPsd"));
    ui_->layoutPlots->addWidget(picAllan_);
    ui_->layoutPlots->addWidget(picPsd_);
    ui_->grdNoiseTerms->setColumnCount(7);
    ui_->grdNoiseTerms->setHorizontalHeaderLabels(
        {QStringLiteral("Term"), QStringLiteral("Value"), QStringLiteral("Unit"), QStringLiteral("SI value"),
         QStringLiteral("SI unit"), QStringLiteral("tau (s)"), QStringLiteral("Rule")});
    // The rule, a sentence, takes the width the other columns leave and wraps in it.
    ui_->grdNoiseTerms->horizontalHeader()->setStretchLastSection(true);
    ui_->grdNoiseTerms->setWordWrap(true);
    ui_->grdNoiseTerms->verticalHeader()->hide();

    chooseFile = [this](bool open, const QString& title, const QString& filter) {
        return open ? QFileDialog::getOpenFileName(this, title, g_.ProgramFolder, filter)
                    : QFileDialog::getSaveFileName(this, title, g_.ProgramFolder, filter);
    };
    connect(ui_->cmdOpenLog, &QPushButton::clicked, this, &frmNoiseAnalysis::cmdOpenLog_Click);
    connect(ui_->cmdLastLog, &QPushButton::clicked, this, &frmNoiseAnalysis::cmdLastLog_Click);
    connect(ui_->cmdAnalyze, &QPushButton::clicked, this, &frmNoiseAnalysis::cmdAnalyze_Click);
    connect(ui_->cmboColumn, &QComboBox::activated, this, &frmNoiseAnalysis::cmboColumn_Click);
    connect(ui_->cmdExportAllan, &QPushButton::clicked, this, &frmNoiseAnalysis::cmdExportAllan_Click);
    connect(ui_->cmdExportPsd, &QPushButton::clicked, this, &frmNoiseAnalysis::cmdExportPsd_Click);
    connect(ui_->cmdCopyTable, &QPushButton::clicked, this, &frmNoiseAnalysis::cmdCopyTable_Click);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &frmNoiseAnalysis::reject);
    Form_Load();
}

frmNoiseAnalysis::~frmNoiseAnalysis() = default;

void frmNoiseAnalysis::Form_Load()
{
    // The last logging run's file is offered, not read: reading is the user's choice.
    ui_->cmdLastLog->setEnabled(!g_.LastDatalogFile.isEmpty());
    ui_->cmdLastLog->setToolTip(g_.LastDatalogFile);
    ui_->prgReading->setValue(0);
    showResult();
}

void frmNoiseAnalysis::cmdOpenLog_Click()
{
    const QString path = chooseFile(true, QStringLiteral("Open Log"), LogFilter);
    if (!path.isEmpty())
        OpenLog(path);
}

void frmNoiseAnalysis::cmdLastLog_Click()
{
    if (!g_.LastDatalogFile.isEmpty())
        OpenLog(g_.LastDatalogFile);
}

void frmNoiseAnalysis::OpenLog(const QString& path)
{
    if (running_)
        return;
    ui_->txtLogFile->setText(path);
    const QStringList columns = analysableColumns(path);
    filling_ = true;
    ui_->cmboColumn->clear();
    ui_->cmboColumn->addItems(columns);
    const qsizetype gyro = columns.indexOf(QStringLiteral("Gyro"));
    ui_->cmboColumn->setCurrentIndex(gyro >= 0 ? static_cast<int>(gyro)
                                               : static_cast<int>(columns.size()) - 1);
    filling_ = false;
    RunAnalysis();
}

void frmNoiseAnalysis::cmboColumn_Click()
{
    if (!filling_ && !running_)
        RunAnalysis();
}

void frmNoiseAnalysis::cmdAnalyze_Click()
{
    if (running_) {
        cancelRequested_ = true;
        return;
    }
    RunAnalysis();
}

void frmNoiseAnalysis::reject()
{
    if (running_) {
        cancelRequested_ = true;
        closeAfterRun_ = true;
        return;
    }
    QDialog::reject();
}

void frmNoiseAnalysis::RunAnalysis()
{
    const QString path = ui_->txtLogFile->text().trimmed();
    if (path.isEmpty())
        return;
    analysis::NoiseAnalysisOptions options;
    QString column = ui_->cmboColumn->currentText();
    if (column.startsWith(QLatin1String("column ")))
        column = column.mid(7); // a file without titles: by number
    options.read.column = column;
    if (const QString rate = ui_->txtRate->text().trimmed(); !rate.isEmpty()) {
        // The system's number format (no group marks, so "2.048" is not 2048), or a point.
        QLocale system;
        system.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        double sps = system.toDouble(rate, &ok);
        if (!ok)
            sps = QLocale::c().toDouble(rate, &ok);
        if (!ok || !(sps > 0) || !std::isfinite(sps)) {
            g_.ui.message(QStringLiteral("Samples/s must be a number above 0, not \"%1\".").arg(rate),
                          MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        options.read.sampleRate = sps;
    }
    options.spacing = Spacings[std::clamp(ui_->cmboTaus->currentIndex(), 0, 2)];

    running_ = true;
    cancelRequested_ = false;
    ui_->cmdAnalyze->setText(CancelCaption);
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->cmdOpenLog, ui_->cmdLastLog, ui_->cmboColumn,
                                                      ui_->txtRate, ui_->cmboTaus, ui_->txtLogFile})
        w->setEnabled(false);
    analysis::AnalysisHooks hooks;
    hooks.progress = [this](const char* stage, double fraction) {
        ui_->lblStage->setText(stageText(stage));
        ui_->prgReading->setValue(static_cast<int>(fraction * 1000.0));
        g_.ui.yield(); // the window answers: repaints, and a click on Cancel
    };
    hooks.cancelRequested = [this] { return cancelRequested_; };
    analysis::NoiseAnalysisOutcome outcome = analysis::AnalyseLog(path, options, hooks);

    running_ = false;
    ui_->cmdAnalyze->setText(AnalyzeCaption);
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->cmdOpenLog, ui_->cmboColumn, ui_->txtRate,
                                                      ui_->cmboTaus, ui_->txtLogFile})
        w->setEnabled(true);
    ui_->cmdLastLog->setEnabled(!g_.LastDatalogFile.isEmpty());
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        QDialog::reject();
        return;
    }
    if (outcome.cancelled) {
        ui_->lblStage->setText(QStringLiteral("Cancelled"));
        ui_->prgReading->setValue(0);
        return;
    }
    if (!outcome.analysis) {
        ui_->lblStage->clear();
        ui_->prgReading->setValue(0);
        analysis_.reset(); // the results shown were another file's: none stay to be exported
        showResult();
        g_.ui.message(outcome.error, MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    ui_->lblStage->setText(QStringLiteral("Done"));
    ui_->prgReading->setValue(1000);
    analysis_ = std::move(outcome.analysis);
    showResult();
}

void frmNoiseAnalysis::showResult()
{
    const analysis::NoiseAnalysis* a = analysis_ ? &*analysis_ : nullptr;
    picAllan_->setAnalysis(a);
    picPsd_->setAnalysis(a);
    ui_->lblSeries->setText(a ? analysis::SeriesSummaryText(*a) : QString());
    ui_->grdNoiseTerms->setRowCount(0);
    if (a) {
        const std::vector<analysis::NoiseTermRow> rows = analysis::NoiseTermRows(*a);
        ui_->grdNoiseTerms->setRowCount(static_cast<int>(rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const QString cells[] = {rows[r].name,   rows[r].value, rows[r].unit, rows[r].valueSi,
                                     rows[r].unitSi, rows[r].tau,   rows[r].rule};
            for (int c = 0; c <= RuleColumn; ++c)
                ui_->grdNoiseTerms->setItem(static_cast<int>(r), c, new QTableWidgetItem(cells[c]));
            ui_->grdNoiseTerms->item(static_cast<int>(r), RuleColumn)->setToolTip(cells[RuleColumn]);
        }
        for (int c = 0; c < RuleColumn; ++c)
            ui_->grdNoiseTerms->resizeColumnToContents(c);
        ui_->grdNoiseTerms->resizeRowsToContents();
    }
    ui_->cmdExportAllan->setEnabled(a != nullptr);
    ui_->cmdExportPsd->setEnabled(a != nullptr && a->psd.has_value());
    ui_->cmdCopyTable->setEnabled(a != nullptr);
}

void frmNoiseAnalysis::exportPlot(analysis::PlotKind kind, const QString& title)
{
    if (!analysis_)
        return;
    QString path = chooseFile(false, title, PlotFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    QString error;
    if (!analysis::SavePlot(path, *analysis_, kind, &error))
        g_.ui.message(error, MsgButtons::Ok, MsgIcon::Exclamation);
}

void frmNoiseAnalysis::cmdExportAllan_Click()
{
    exportPlot(analysis::PlotKind::Allan, QStringLiteral("Export Allan Plot"));
}

void frmNoiseAnalysis::cmdExportPsd_Click()
{
    exportPlot(analysis::PlotKind::Spectrum, QStringLiteral("Export PSD Plot"));
}

void frmNoiseAnalysis::cmdCopyTable_Click()
{
    if (!analysis_)
        return;
    QGuiApplication::clipboard()->setText(analysis::SeriesSummaryText(*analysis_) + QStringLiteral("\n\n") +
                                          analysis::AllanTableText(*analysis_) + QLatin1Char('\n') +
                                          analysis::NoiseTermsText(*analysis_));
}

} // namespace gyro
