#include "DatalogFile.h"

#include "WholeFile.h"

#include <QDir>

namespace gyro {

namespace {
constexpr qsizetype BlockBytes = 64 * 1024;
constexpr qsizetype BlockChars = 32 * 1024;
} // namespace

bool DatalogFile::open(const QString& folder, const QString& fileName)
{
    const QString path = QDir(folder).filePath(fileName);
    target_.setFileName(path);
    // The save file refuses an existing target it could not replace.
    if (!target_.open(QIODevice::WriteOnly))
        return fail(target_);
    samples_.setFileTemplate(path + QStringLiteral(".XXXXXX"));
    if (!samples_.open()) {
        fail(samples_);
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
        if (!WriteAll(samples_, bytes.constData(), bytes.size()))
            fail(samples_);
    }
    pending_.truncate(0); // keeps the capacity
    if (!failed_ && !samples_.flush())
        fail(samples_);
    return !failed_;
}

bool DatalogFile::fail(const QIODevice& device)
{
    failed_ = true;
    failure_ = device.errorString();
    return false;
}

bool DatalogFile::finish(const QByteArray& header)
{
    bool ok = flushPending();
    if (ok && !WriteAll(target_, header.constData(), header.size()))
        ok = fail(target_);
    if (ok && !samples_.seek(0))
        ok = fail(samples_);
    QByteArray block(BlockBytes, Qt::Uninitialized);
    while (ok) {
        const qint64 got = samples_.read(block.data(), block.size());
        if (got < 0)
            ok = fail(samples_);
        else if (got == 0)
            break;
        else if (!WriteAll(target_, block.constData(), got))
            ok = fail(target_);
    }
    if (!ok)
        target_.cancelWriting();
    // commit() flushes, checks and renames; after cancelWriting() it only discards.
    const bool committed = target_.commit();
    if (ok && !committed)
        fail(target_);
    samples_.close(); // the temporary samples file is removed with the object
    return ok && committed;
}

} // namespace gyro
