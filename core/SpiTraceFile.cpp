#include "SpiTraceFile.h"

#include "WholeFile.h"

#include <QFileInfo>

namespace gyro {

std::unique_ptr<SpiTraceFile> SpiTraceFile::open(const QString& path, Clock& clock, QString* error)
{
    std::unique_ptr<SpiTraceFile> trace(new SpiTraceFile(clock));
    trace->file_.setFileName(path);
    // A device or a pipe (/dev/full, /dev/stdout) cannot be appended to by seeking to
    // its end: it is written as it comes.
    const QFileInfo info(path);
    const bool appendable = !info.exists() || info.isFile();
    const QIODevice::OpenMode mode =
        appendable ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly;
    if (!trace->file_.open(mode | QIODevice::Unbuffered)) {
        if (error != nullptr)
            *error =
                QStringLiteral("Cannot open the SPI trace file %1: %2").arg(path, trace->file_.errorString());
        return nullptr;
    }
    return trace;
}

QByteArray SpiTraceFile::formatLine(double seconds, SpiInterface iface, std::uint16_t out, int in)
{
    QByteArray line = QByteArray::number(seconds, 'f', 6);
    line += iface == SpiInterface::Usb ? " usb " : " par ";
    line += QByteArray::number(out, 16).rightJustified(4, '0').toUpper();
    line += ' ';
    line += in == NotSampled ? QByteArray("----")
                             : QByteArray::number(in & 0xFFFF, 16).rightJustified(4, '0').toUpper();
    return line;
}

void SpiTraceFile::frame(SpiInterface iface, std::uint16_t out, int in)
{
    if (failed_)
        return;
    const QByteArray line = formatLine(clock_.monotonicSeconds(), iface, out, in) + '\n';
    if (WriteAll(file_, line.constData(), line.size()))
        return;
    failed_ = true;
    failure_ = QStringLiteral("The SPI trace file %1 could not be written: %2. Tracing stopped.")
                   .arg(file_.fileName(), file_.errorString());
    if (onFailure_)
        onFailure_(failure_);
}

} // namespace gyro
