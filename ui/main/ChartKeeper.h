#pragma once
// Charts to keep: the "Charts" menu of the main window and a context menu on
// each strip chart. "Pause" freezes the pictures while the readout loop (and
// any logging run) goes on; "Resume" shows the sweep where it stands. The
// charts export as a PNG picture or an SVG drawing of what is on screen, and
// their samples on screen as delimited text (ChartExport.h). Failures are told
// through the UI host with the file and the reason; an older file stays whole.
#include "ChartExport.h"
#include "UiHost.h"

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

namespace gyro {

class StripChart;

struct KeptChart {
    StripChart* chart;
    QString name; // register name, as the exported files title it
    QString unit;
};

class ChartKeeper final : public QObject {
    Q_OBJECT
public:
    // Asks for the file to write: a dialog in the program, a fixed path in tests.
    // Returns an empty text when the user cancels.
    using FileChooser =
        std::function<QString(const QString& title, const QString& suggested, const QString& filter)>;

    // Adds the "Charts" menu to `window`'s menu bar before `before` (null: at the end).
    ChartKeeper(QMainWindow& window, UiHost& ui, std::vector<KeptChart> charts, QAction* before = nullptr);

    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Caption of exported pictures: program, time and platform.
    void setCaptionSource(std::function<QString()> caption) { caption_ = std::move(caption); }

    void setPaused(bool paused);
    bool paused() const;

    // Writes the charts (all, or the one at `only`) to `path`: SVG for a name
    // ending in .svg, PNG otherwise. False after the failure was told.
    bool exportPicture(const QString& path, int only = -1);
    bool exportSamples(const QString& path, int only = -1);

signals:
    void pausedChanged(bool paused);

private:
    std::vector<ExportedChart> exported(int only) const;
    void choosePicture(int only);
    void chooseSamples(int only);
    void addContextMenu(int index);
    bool writeFile(const QString& path, const QByteArray& contents, const QString& what);

    QMainWindow& window_;
    UiHost& ui_;
    std::vector<KeptChart> charts_;
    QMenu* menu_ = nullptr;
    QAction* pause_ = nullptr;
    bool paused_ = false;
    FileChooser chooseFile_;
    std::function<QString()> caption_;
};

} // namespace gyro
