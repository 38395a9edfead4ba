#include "ParportLookup.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace gyro::linuxport {

std::optional<int> ParseBaseAddress(const QString& text)
{
    const QString first = text.trimmed().section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
    bool ok = false;
    const int value = first.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? first.mid(2).toInt(&ok, 16)
                                                                                 : first.toInt(&ok, 10);
    if (!ok || value < 0 || value > 0xFFFF)
        return std::nullopt;
    return value;
}

std::vector<ParportEntry> ListParportEntries(const QString& procDir)
{
    static const QRegularExpression portName(QStringLiteral("^parport(\\d+)$"));
    struct Numbered {
        int number;
        ParportEntry entry;
    };
    std::vector<Numbered> found;
    const QStringList names = QDir(procDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = portName.match(name);
        if (!match.hasMatch())
            continue;
        QFile file(procDir + QStringLiteral("/") + name + QStringLiteral("/base-addr"));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (const std::optional<int> base = ParseBaseAddress(QString::fromLatin1(file.readAll())))
            found.push_back({match.captured(1).toInt(), {name, *base}});
    }
    std::sort(found.begin(), found.end(),
              [](const Numbered& a, const Numbered& b) { return a.number < b.number; });
    std::vector<ParportEntry> entries;
    entries.reserve(found.size());
    for (Numbered& n : found)
        entries.push_back(std::move(n.entry));
    return entries;
}

std::optional<ParportEntry> FindParportForBase(const std::vector<ParportEntry>& entries, int baseAddress)
{
    const auto it = std::find_if(entries.begin(), entries.end(), [baseAddress](const ParportEntry& e) {
        return e.baseAddress == baseAddress;
    });
    if (it == entries.end())
        return std::nullopt;
    return *it;
}

QString ParportDevicePath(const QString& deviceDir, const ParportEntry& entry)
{
    return deviceDir + QStringLiteral("/") + entry.name;
}

} // namespace gyro::linuxport
