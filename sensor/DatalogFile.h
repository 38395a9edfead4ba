#pragma once
// One log file on its way to disk. While the file is sampled, its lines go into a
// named file in the target's folder, "DATALOG_1.csv.partial", which holds exactly
// the data lines written so far, so a program that is killed (or a machine that
// loses power) leaves the samples readable there. When the file ends, the partial
// file itself becomes the log: its lines are moved up by the header's length, the
// header goes in front and the file is renamed over the target. That needs only
// the header's length of space beyond the samples, and an older file of the
// target's name stays as it was until the new one is complete.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace gyro {

class Clock;

class DatalogFile {
public:
    // The clock paces how often the gathered lines reach the disk.
    explicit DatalogFile(Clock& clock) : clock_(clock) {}
    // Removes a partial file that holds nothing; one with lines is kept.
    ~DatalogFile();
    DatalogFile(const DatalogFile&) = delete;
    DatalogFile& operator=(const DatalogFile&) = delete;

    // Checks that `folder`/`fileName` can be replaced and creates the partial file
    // beside it (a new name when one from an earlier run is there: that one is
    // never touched). False when either fails; nothing is left behind then.
    bool open(const QString& folder, const QString& fileName);

    // Adds one line (CR LF is appended). Lines are gathered and written a block at
    // a time, and at least every quarter second; false once a write has failed.
    bool appendLine(const QString& line);

    // Writes the lines gathered so far now (before a long wait between samples).
    bool writeOut();

    // Puts `header` in front of the lines and replaces the target with the whole.
    // False when that failed: every line written stays in the partial file then,
    // and the older target is untouched.
    bool finish(const QByteArray& header);

    QString targetPath() const { return targetPath_; }
    QString partialPath() const { return partial_.fileName(); }
    // The file a failure is told with: the partial file once it holds samples
    // (they are kept there), else the target.
    QString failedFileName() const;
    // Why the last open, write or replacement failed, in the system's words.
    QString failure() const { return failure_; }

private:
    bool openPartial();
    bool writePending();
    bool keepWholeLines(const QByteArray& block);
    bool moveLinesUp(qint64 samplesSize, const QByteArray& header);
    bool fail(const QString& reason);
    bool failWith(const QFile& file) { return fail(file.errorString()); }

    Clock& clock_;
    QString folder_;
    QString targetPath_;
    QFile partial_;
    qint64 written_ = 0;      // bytes of whole lines in the partial file
    QString pending_;         // lines not yet written, encoded a block at a time
    double lastWriteOut_ = 0; // monotonic seconds
    double lastSync_ = 0;
    bool holdsPartial_ = false;  // the partial file exists and is not yet the target
    bool headerWritten_ = false; // the header went into the partial file
    bool failed_ = false;
    QString failure_;
};

} // namespace gyro
