#include "DatalogFile.h"

#include "Clock.h"
#include "FileDurability.h"
#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace gyro {

namespace {

constexpr qsizetype BlockBytes = 64 * 1024;
constexpr qsizetype BlockChars = 32 * 1024;
// Lines gathered while the sampling is slow still reach the system this often,
// so a killed program loses at most this much of a slow log.
constexpr double WriteOutSeconds = 0.25;
// ...and the disk itself this often, for a power cut.
constexpr double SyncSeconds = 1.0;
// Partial files of earlier runs that were killed are kept; a new one takes the
// next free name, "DATALOG_1.csv.2.partial", up to this number.
constexpr int MaxPartialNames = 99;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool readAt(QFile& file, qint64 offset, char* data, qint64 size)
{
    return file.seek(offset) && file.read(data, size) == size;
}

bool writeAt(QFile& file, qint64 offset, const char* data, qint64 size)
{
    return file.seek(offset) && WriteAll(file, data, size);
}

} // namespace

DatalogFile::~DatalogFile()
{
    // A partial file that never got a line says nothing: it goes. One with lines
    // stays whatever happened, until it has become the target.
    if (partial_.fileName().isEmpty() || !holdsPartial_)
        return;
    if (written_ == 0 && !headerWritten_) {
        partial_.close();
        partial_.remove();
    }
}

bool DatalogFile::open(const QString& folder, const QString& fileName)
{
    folder_ = folder;
    targetPath_ = QDir(folder).filePath(fileName);
    const QFileInfo target(targetPath_);
    // A link is followed, so that the file it names is the one replaced.
    if (target.isSymLink() && target.exists())
        targetPath_ = target.canonicalFilePath();
    if (target.isDir())
        return fail(systemReason(EISDIR));
    if (target.exists() && !target.isWritable())
        return fail(systemReason(EACCES));
    if (!openPartial())
        return false;
    holdsPartial_ = true;
    SyncFolder(folder_);
    lastWriteOut_ = lastSync_ = clock_.monotonicSeconds();
    pending_.reserve(BlockChars + 1024);
    return true;
}

bool DatalogFile::openPartial()
{
    for (int n = 1; n <= MaxPartialNames; ++n) {
        const QString path = n == 1 ? targetPath_ + QStringLiteral(".partial")
                                    : targetPath_ + QStringLiteral(".%1.partial").arg(n);
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            continue;
        partial_.setFileName(path);
        // NewOnly: a file that appeared meanwhile is never opened over.
        if (partial_.open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (!QFileInfo::exists(path))
            return failWith(partial_);
    }
    partial_.setFileName(QString());
    return fail(systemReason(EEXIST));
}

QString DatalogFile::failedFileName() const
{
    const bool kept = holdsPartial_ && (written_ > 0 || headerWritten_);
    return QFileInfo(kept ? partial_.fileName() : targetPath_).fileName();
}

bool DatalogFile::fail(const QString& reason)
{
    failed_ = true;
    failure_ = reason;
    return false;
}

bool DatalogFile::appendLine(const QString& line)
{
    if (failed_)
        return false;
    pending_ += line;
    pending_ += QLatin1String("\r\n");
    if (pending_.size() >= BlockChars || clock_.monotonicSeconds() - lastWriteOut_ >= WriteOutSeconds)
        return writePending();
    return true;
}

bool DatalogFile::writeOut()
{
    return writePending();
}

bool DatalogFile::writePending()
{
    if (failed_)
        return false;
    const double now = clock_.monotonicSeconds();
    lastWriteOut_ = now;
    if (pending_.isEmpty())
        return true;
    const QByteArray bytes = pending_.toLocal8Bit();
    pending_.truncate(0); // keeps the capacity
    if (!WriteAll(partial_, bytes.constData(), bytes.size())) {
        failWith(partial_);
        return keepWholeLines(bytes);
    }
    written_ += bytes.size();
    if (now - lastSync_ >= SyncSeconds) {
        lastSync_ = now;
        if (QString reason; !SyncFileData(partial_, &reason))
            return fail(reason);
    }
    return true;
}

// After a write that failed part way (the disk filled up): the partial file is
// cut back to the last whole line that reached it, so that it holds whole samples.
bool DatalogFile::keepWholeLines(const QByteArray& block)
{
    const qint64 reached = std::clamp<qint64>(partial_.size() - written_, 0, block.size());
    // A line end that begins at reached - 2 is the last one wholly on disk.
    const qsizetype lastEnd = reached >= 2 ? block.lastIndexOf("\r\n", reached - 2) : -1;
    if (lastEnd >= 0)
        written_ += lastEnd + 2;
    partial_.resize(written_);
    return false;
}

bool DatalogFile::finish(const QByteArray& header)
{
    bool ok = writePending();
    if (ok && !header.isEmpty()) {
        ok = moveLinesUp(written_, header);
        if (ok) {
            headerWritten_ = true;
            ok = writeAt(partial_, 0, header.constData(), header.size()) || failWith(partial_);
        }
    }
    if (QString reason; ok && !SyncFileData(partial_, &reason))
        ok = fail(reason);
    // Closed first: Windows renames no file that is still open.
    partial_.close();
    if (!ok)
        return false;
    if (QString reason; !RenameOver(partial_.fileName(), targetPath_, &reason))
        return fail(reason); // the partial file is the whole log then
    holdsPartial_ = false;
    SyncFolder(folder_);
    return true;
}

// Makes room for `header` in front of the `samplesSize` bytes of lines. First the
// end: the bytes that will lie beyond the present end are written there, the only
// step that needs new space; when it fails, the file is cut back to its lines and
// nothing else has moved. Then every other byte of lines moves up, from the end
// backwards, within space the file already holds.
bool DatalogFile::moveLinesUp(qint64 samplesSize, const QByteArray& header)
{
    const qint64 headerSize = header.size();
    const qint64 tailFrom = std::max<qint64>(samplesSize - headerSize, 0);
    // The finished file from samplesSize on: header bytes only when the lines are
    // shorter than the header, then the last lines.
    QByteArray beyondEnd = header.mid(samplesSize);
    const qsizetype tailStart = beyondEnd.size();
    beyondEnd.resize(headerSize);
    if (!readAt(partial_, tailFrom, beyondEnd.data() + tailStart, samplesSize - tailFrom))
        return failWith(partial_);
    if (!writeAt(partial_, samplesSize, beyondEnd.constData(), beyondEnd.size())) {
        failWith(partial_);
        partial_.resize(samplesSize);
        return false;
    }

    QByteArray block(BlockBytes, Qt::Uninitialized);
    for (qint64 end = tailFrom; end > 0;) {
        const qint64 size = std::min<qint64>(BlockBytes, end);
        end -= size;
        if (!readAt(partial_, end, block.data(), size) ||
            !writeAt(partial_, end + headerSize, block.constData(), size))
            return failWith(partial_);
    }
    return true;
}

} // namespace gyro
