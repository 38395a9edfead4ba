#pragma once
// Counting what a benchmarked logging run wrote: its sample lines, and those
// whose first new-data flag (the third field, after the sample number and the
// time) is 1, a sample not logged before.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <cctype>
#include <optional>

namespace gyro::bench {

struct LoggedLines {
    double lines = 0;
    double fresh = 0;
};

// Nothing when the file cannot be read. Header and title lines (not starting
// with a sample number) are not counted.
inline std::optional<LoggedLines> CountLoggedLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    LoggedLines counted;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() < 4 || fields[0].isEmpty() ||
            !std::isdigit(static_cast<unsigned char>(fields[0][0])))
            continue;
        ++counted.lines;
        counted.fresh += fields[2] == "1" ? 1 : 0;
    }
    return counted;
}

} // namespace gyro::bench
