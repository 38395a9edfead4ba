#include "DatalogFormat.h"

#include "NumberText.h"

#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace gyro {

namespace {
const QByteArray LineEnd = QByteArrayLiteral("\r\n");
} // namespace

DatalogTextFormat DatalogFormatFor(const QLocale& locale)
{
    const QString sample = GeneralFormat(1.2, 15, locale);
    if (sample.size() > 1 && sample[1] == QLatin1Char(','))
        return {QLatin1Char('\t'), QStringLiteral(".txt")};
    return {QLatin1Char(','), QStringLiteral(".csv")};
}

QString DatalogFileName(const QString& baseName, std::int64_t fileNumber, const DatalogTextFormat& format)
{
    return baseName + QLatin1Char('_') + QString::number(fileNumber) + format.extension;
}

QString FileNameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("a file name cannot be empty");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" names a folder, not a file").arg(name);
    for (QChar c : name) {
        if (c == QLatin1Char('/'))
            return QStringLiteral("a slash would put the file in another folder");
        if (c == QLatin1Char('\\'))
            return QStringLiteral("a backslash separates folders on Windows, where the same name must work");
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("a control character (a line break, a tab) has no place in a file name");
    }
    return {};
}

bool NamesFileInFolder(const QString& name)
{
    return FileNameProblem(name).isEmpty();
}

QString DatalogTitleLine(const DatalogSettings& settings, QChar separator)
{
    QString line = QStringLiteral("Sample #") + separator;
    if (settings.ckTime)
        line += QStringLiteral("Time(sec)") + separator;
    for (std::size_t k = 0; k < DatalogColumns.size(); ++k) {
        if (!settings.CheckReg[k])
            continue;
        if (!settings.ckDisableNewDataFlags)
            line += QLatin1String(DatalogColumns[k].flagTitle) + separator;
        line += QLatin1String(DatalogColumns[k].valueTitle) + separator;
    }
    return line;
}

QString TimeOfDayPattern(const QLocale& locale)
{
    // A 't' outside quotes is the time zone; the seconds-since-midnight clock has none.
    static const QRegularExpression zone(QStringLiteral("\\s*(?<![A-Za-z'])t+(?![A-Za-z'])"));
    return locale.timeFormat(QLocale::LongFormat).remove(zone).trimmed();
}

QByteArray DatalogHeader(const DatalogSettings& settings, const DatalogTextFormat& format,
                         const DatalogFileFacts& facts)
{
    const QLocale& locale = settings.locale;
    const QChar sep = format.separator;
    constexpr double MsPerDay = 86400000.0;
    const double ms = std::fmod(std::max(facts.timeOfDaySeconds * 1000.0, 0.0), MsPerDay);
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms));
    const QString lines[] = {
        QStringLiteral("File Name") + sep + facts.fileName,
        QStringLiteral("Date") + sep + locale.toString(facts.date, QLocale::ShortFormat),
        QStringLiteral("Time") + sep + locale.toString(time, TimeOfDayPattern(locale)),
        QStringLiteral("Begin Seconds") + sep + GeneralFormat(facts.beginSeconds, locale),
        QStringLiteral("End Seconds") + sep + GeneralFormat(facts.endSeconds, locale),
        QStringLiteral(" "),
        DatalogTitleLine(settings, sep),
    };
    QByteArray header;
    for (const QString& line : lines)
        header += line.toLocal8Bit() + LineEnd;
    return header;
}

} // namespace gyro
