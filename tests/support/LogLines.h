#pragma once
// Reading back what a logging run left on disk.
#include <QByteArray>
#include <QList>

namespace gyro::test {

// How many sample lines `bytes` holds when it is nothing but whole sample lines
// numbered 1, 2, 3, ... (each ended by CR LF); -1 when anything else is in it (a
// torn line, a gap, a header line, stray bytes).
inline int NumberedLines(const QByteArray& bytes)
{
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        return -1;
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // what follows the last line end: nothing
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (!line.endsWith('\r') || !line.startsWith(QByteArray::number(i + 1) + ','))
            return -1;
    }
    return static_cast<int>(lines.size());
}

} // namespace gyro::test
