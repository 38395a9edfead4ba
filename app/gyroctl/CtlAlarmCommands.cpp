// The alarm commands of gyroctl: `alarms`, `alarm 1|2 ...` and `indicator ...`.
// Settings not given keep what the sensor holds; the levels and average numbers get
// the alarm window's limits and rounding, and each command prints the read-back.
#include "CtlAlarmCommands.h"

#include "AlarmSetup.h"
#include "HexText.h"
#include "NumberText.h"

#include <QLocale>
#include <cmath>
#include <map>
#include <optional>

namespace gyro {

namespace {

// The command's options as NAME -> value; flags without a value map to "".
using OptionValues = std::map<QString, QString>;

// Splits `--name value` and `--flag` arguments, allowing only the names given.
// Returns nothing (with the reason on stderr) on an unknown or incomplete option.
std::optional<OptionValues> parseOptions(CtlContext& c, const QStringList& arguments,
                                         const QStringList& withValue, const QStringList& flags)
{
    OptionValues values;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString name = arguments[i];
        if (flags.contains(name)) {
            values[name] = QString();
        } else if (withValue.contains(name)) {
            if (i + 1 >= arguments.size()) {
                c.err << "gyroctl: " << name << " needs a value" << Qt::endl;
                return std::nullopt;
            }
            values[name] = arguments[++i];
        } else {
            c.err << "gyroctl: " << c.options.command << ": unknown argument '" << name << "'" << Qt::endl;
            return std::nullopt;
        }
    }
    return values;
}

// A choice among fixed words ("on"/"off", "high"/"low"); nothing when not given.
// Sets `bad` when the value is none of them.
std::optional<bool> choice(CtlContext& c, const OptionValues& v, const QString& name, const char* yes,
                           const char* no, bool& bad)
{
    const auto it = v.find(name);
    if (it == v.end())
        return std::nullopt;
    if (it->second == QLatin1String(yes))
        return true;
    if (it->second == QLatin1String(no))
        return false;
    c.err << "gyroctl: " << name << " takes " << yes << " or " << no << ", not '" << it->second << "'"
          << Qt::endl;
    bad = true;
    return std::nullopt;
}

// A number given on the command line (a point as decimal mark), as the text a box
// in the system's number format would hold; nothing (and `bad`) when it is not a number.
std::optional<QString> numberText(CtlContext& c, const OptionValues& v, const QString& name, bool& bad)
{
    const auto it = v.find(name);
    if (it == v.end())
        return std::nullopt;
    bool ok = false;
    const double value = it->second.toDouble(&ok);
    if (!ok || !std::isfinite(value)) { // "inf" and "nan" read as numbers, but are none of a level
        c.err << "gyroctl: " << name << " needs a number, not '" << it->second << "'" << Qt::endl;
        bad = true;
        return std::nullopt;
    }
    // The shortest text that reads back as the same double: a limit note then names
    // 8.1 as given, not 8.0999999999999996.
    QLocale system = QLocale::system();
    system.setNumberOptions(QLocale::OmitGroupSeparator);
    return system.toString(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<int> sourcePosition(CtlContext& c, const OptionValues& v, bool& bad)
{
    static const std::map<QString, int> names{{"disabled", AlarmSource::Disabled},
                                              {"supply", AlarmSource::Supply},
                                              {"gyro", AlarmSource::Gyro},
                                              {"aux", AlarmSource::Aux},
                                              {"temp", AlarmSource::Temp}};
    const auto it = v.find(QStringLiteral("--source"));
    if (it == v.end())
        return std::nullopt;
    if (const auto name = names.find(it->second); name != names.end())
        return name->second;
    c.err << "gyroctl: unknown source '" << it->second << "': use disabled, supply, gyro, aux or temp"
          << Qt::endl;
    bad = true;
    return std::nullopt;
}

QString enabledText(bool enabled)
{
    return enabled ? QStringLiteral("Enabled") : QStringLiteral("Disabled");
}

// One alarm as the window shows it, with its raw words.
QString alarmLine(const GyroState& g, const AlarmRegisters& r, int alarm)
{
    const std::size_t i = static_cast<std::size_t>(alarm - 1);
    const int source = AlarmSourceNumberOf(*r.ctrl, alarm);
    const QString n = QString::number(alarm);
    return QStringLiteral("alarm %1\tsource %2\tlevel %3\t%4\taverage %5\trate of change %6\t"
                          "Alm_Mag%1 %7\tAlm_Smpl%1 %8\tAlm_Ctrl %9")
        .arg(n, AlarmSourceNumberText(source),
             FormatNumber(AlarmLevelOfWord(g, AlarmSourcePosition(source), *r.mag[i]),
                          QStringLiteral("#0.000")),
             AlarmGreaterThanOf(*r.mag[i]) ? QStringLiteral("Greater than") : QStringLiteral("Less than"),
             QString::number(*r.smpl[i]), enabledText(AlarmRateOfChangeOf(*r.ctrl, alarm)),
             ValueToHex4(*r.mag[i]), ValueToHex4(*r.smpl[i]), ValueToHex4(*r.ctrl));
}

QString indicatorLine(const AlarmRegisters& r)
{
    const AlarmIndicator indicator = AlarmIndicatorOf(*r.ctrl);
    return QStringLiteral("indicator\t%1\tpolarity %2\t%3\tAlm_Ctrl %4")
        .arg(indicator.secondLine ? QStringLiteral("DI/O 2") : QStringLiteral("DI/O 1"),
             indicator.polarityHigh ? QStringLiteral("High") : QStringLiteral("Low"),
             enabledText(indicator.enabled), ValueToHex4(*r.ctrl));
}

// Reads the five alarm registers; nothing (and the reason on stderr) when a read
// brings no answer, so that no number is printed for it.
std::optional<AlarmRegisters> readAlarms(CtlContext& c)
{
    const AlarmRegisters r = ReadAlarmRegisters(c.g);
    if (!r.complete()) {
        c.err << "gyroctl: the alarm registers did not answer" << Qt::endl;
        return std::nullopt;
    }
    return r;
}

int finish(CtlContext& c, bool allSent)
{
    if (!allSent && c.ui.failureCount() == c.failuresAtStart)
        c.err << "gyroctl: a write to the alarm registers did not go through" << Qt::endl;
    return StatusAfterTraffic(c, allSent);
}

void tellCorrection(CtlContext& c, const char* what, const QString& given, const QString& used)
{
    if (given != used)
        c.err << "gyroctl: " << what << ' ' << given << " limited to " << used << Qt::endl;
}

} // namespace

int runAlarms(CtlContext& c)
{
    if (!c.options.arguments.isEmpty()) {
        c.err << "gyroctl: alarms takes no arguments" << Qt::endl;
        return ExitUsage;
    }
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (!ScaleForSensorRange(c)) // a rate alarm's level is in deg/s of the range held
        return ExitTransportFailed;
    const auto r = readAlarms(c);
    if (!r)
        return ExitTransportFailed;
    c.out << alarmLine(c.g, *r, 1) << '\n' << alarmLine(c.g, *r, 2) << '\n' << indicatorLine(*r) << Qt::endl;
    return finish(c, true);
}

int runAlarm(CtlContext& c)
{
    const QStringList& args = c.options.arguments;
    const int alarm = args.isEmpty() ? 0 : args.front().toInt();
    if (alarm != 1 && alarm != 2) {
        c.err << "gyroctl: alarm needs the alarm number 1 or 2 first" << Qt::endl;
        return ExitUsage;
    }
    const auto v =
        parseOptions(c, args.mid(1), {"--source", "--level", "--average", "--rate"}, {"--greater", "--less"});
    if (!v)
        return ExitUsage;
    if (v->count(QStringLiteral("--greater")) && v->count(QStringLiteral("--less"))) {
        c.err << "gyroctl: give --greater or --less, not both" << Qt::endl;
        return ExitUsage;
    }
    bool bad = false;
    const auto source = sourcePosition(c, *v, bad);
    const auto level = numberText(c, *v, QStringLiteral("--level"), bad);
    const auto average = numberText(c, *v, QStringLiteral("--average"), bad);
    const auto rate = choice(c, *v, QStringLiteral("--rate"), "on", "off", bad);
    if (bad)
        return ExitUsage;
    std::optional<bool> greater;
    if (v->count(QStringLiteral("--greater")) || v->count(QStringLiteral("--less")))
        greater = v->count(QStringLiteral("--greater")) > 0;

    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (!ScaleForSensorRange(c))
        return ExitTransportFailed;
    auto r = readAlarms(c);
    if (!r)
        return ExitTransportFailed;
    const std::size_t i = static_cast<std::size_t>(alarm - 1);
    bool allSent = true;
    if (source || level || greater) {
        // The other alarm has no source here, so it stays exactly as the sensor holds it.
        std::array<AlarmLevelSetting, 2> settings;
        AlarmLevelSetting& s = settings[i];
        const auto stored = AlarmSourcePosition(AlarmSourceNumberOf(*r->ctrl, alarm));
        s.position = source ? source : stored;
        if (!s.position) {
            c.err << "gyroctl: alarm " << alarm << " has source number "
                  << AlarmSourceNumberOf(*r->ctrl, alarm) << ", which has no scale: give --source"
                  << Qt::endl;
            return ExitUsage;
        }
        // A level not given keeps its value in the source's units, as the window's box does.
        s.levelText = level ? *level : GeneralFormat(AlarmLevelOfWord(c.g, stored, *r->mag[i]));
        s.greaterThan = greater.value_or(AlarmGreaterThanOf(*r->mag[i]));
        const QString given = s.levelText;
        allSent &= WriteAlarmSetup(c.g, settings);
        if (level)
            tellCorrection(c, "level", given, s.levelText);
    }
    if (average || rate) {
        QString averageText = average.value_or(QString::number(*r->smpl[i]));
        const QString given = averageText;
        allSent &=
            WriteAlarmAverage(c.g, alarm, averageText, rate.value_or(AlarmRateOfChangeOf(*r->ctrl, alarm)));
        if (average)
            tellCorrection(c, "average number", given, averageText);
    }
    r = readAlarms(c);
    if (!r)
        return ExitTransportFailed;
    c.out << alarmLine(c.g, *r, alarm) << Qt::endl;
    return finish(c, allSent);
}

int runIndicator(CtlContext& c)
{
    const auto v = parseOptions(c, c.options.arguments, {"--line", "--polarity", "--enable"}, {});
    if (!v)
        return ExitUsage;
    bool bad = false;
    const auto secondLine = choice(c, *v, QStringLiteral("--line"), "2", "1", bad);
    const auto high = choice(c, *v, QStringLiteral("--polarity"), "high", "low", bad);
    const auto enabled = choice(c, *v, QStringLiteral("--enable"), "on", "off", bad);
    if (bad)
        return ExitUsage;

    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    auto r = readAlarms(c);
    if (!r)
        return ExitTransportFailed;
    bool allSent = true;
    if (secondLine || high || enabled) {
        AlarmIndicator indicator = AlarmIndicatorOf(*r->ctrl);
        indicator.secondLine = secondLine.value_or(indicator.secondLine);
        indicator.polarityHigh = high.value_or(indicator.polarityHigh);
        indicator.enabled = enabled.value_or(indicator.enabled);
        allSent = WriteDigitalIndicator(c.g, indicator);
        r = readAlarms(c);
        if (!r)
            return ExitTransportFailed;
    }
    c.out << indicatorLine(*r) << Qt::endl;
    return finish(c, allSent);
}

} // namespace gyro
