#pragma once
// One log file on its way to disk. The samples stream into a temporary file beside
// the target while they are taken, so memory stays flat for any count and a crash
// leaves them on disk; when the file ends, header and samples are written into the
// target through a save file that replaces it only once everything is written.
// Until then an older file of that name stays as it was.
#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>

namespace gyro {

class DatalogFile {
public:
    DatalogFile() = default;
    DatalogFile(const DatalogFile&) = delete;
    DatalogFile& operator=(const DatalogFile&) = delete;

    // Prepares the target `folder`/`fileName` for replacement and the samples file
    // beside it. False when either cannot be created (nothing is left behind).
    bool open(const QString& folder, const QString& fileName);

    // Adds one line (CR LF is appended). Lines are gathered and written in blocks;
    // false once a write has failed.
    bool appendLine(const QString& line);

    // Writes `header`, then every sample line, into the target and replaces the old
    // file. False when a write, the flush or the replacement failed: the old file is
    // then untouched.
    bool finish(const QByteArray& header);

    QString targetPath() const { return target_.fileName(); }
    // Why the last open, write or replacement failed, in the system's words.
    QString failure() const { return failure_; }

private:
    bool flushPending();
    bool fail(const QIODevice& device);

    QSaveFile target_;
    QTemporaryFile samples_;
    QString pending_; // lines not yet written, encoded a block at a time
    bool failed_ = false;
    QString failure_;
};

} // namespace gyro
