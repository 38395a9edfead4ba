#include "DatalogFile.h"

#include <QDir>

namespace gyro {

namespace {
constexpr qsizetype BlockBytes = 64 * 1024;
constexpr qsizetype BlockChars = 32 * 1024;

bool writeAll(QIODevice& device, const char* data, qint64 size)
{
    return device.write(data, size) == size;
}
} // namespace

bool DatalogFile::open(const QString& folder, const QString& fileName)
{
    const QString path = QDir(folder).filePath(fileName);
    target_.setFileName(path);
    // The save file refuses an existing target it could not replace.
    if (!target_.open(QIODevice::WriteOnly))
        return false;
    samples_.setFileTemplate(path + QStringLiteral(".XXXXXX"));
    if (!samples_.open()) {
        target_.cancelWriting();
        target_.commit();
        return false;
    }
    pending_.reserve(BlockChars + 1024);
    return true;
}

bool DatalogFile::appendLine(const QString& line)
{
    if (failed_)
        return false;
    pending_ += line;
    pending_ += QLatin1String("\r\n");
    if (pending_.size() >= BlockChars)
        return flushPending();
    return true;
}

bool DatalogFile::flushPending()
{
    if (!pending_.isEmpty()) {
        const QByteArray bytes = pending_.toLocal8Bit();
        if (!writeAll(samples_, bytes.constData(), bytes.size()))
            failed_ = true;
    }
    pending_.truncate(0); // keeps the capacity
    if (!failed_ && !samples_.flush())
        failed_ = true;
    return !failed_;
}

bool DatalogFile::finish(const QByteArray& header)
{
    bool ok = flushPending() && writeAll(target_, header.constData(), header.size()) && samples_.seek(0);
    QByteArray block(BlockBytes, Qt::Uninitialized);
    while (ok) {
        const qint64 got = samples_.read(block.data(), block.size());
        if (got < 0)
            ok = false;
        else if (got == 0)
            break;
        else
            ok = writeAll(target_, block.constData(), got);
    }
    if (!ok)
        target_.cancelWriting();
    // commit() flushes, checks and renames; after cancelWriting() it only discards.
    const bool committed = target_.commit();
    samples_.close(); // the temporary samples file is removed with the object
    return ok && committed;
}

} // namespace gyro
