#include "AlarmWords.h"

#include "NumberText.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace gyro {

namespace {

const std::array<const char*, AlarmSource::Count> SourceTexts{"Disabled", "Supply V", "Gyro", "Aux_ADC",
                                                              "Temp"};

constexpr std::int32_t FieldMask = 0x3FFF;     // bits 13..0 of a magnitude word
constexpr std::int32_t FieldSpan = 16384;      // a negative count is stored as 16384 + count
constexpr std::int32_t FieldMaxSigned = 8191;  // 14-bit two's complement
constexpr std::int32_t FieldMinSigned = -8192; //
constexpr std::int32_t GreaterThanBit = 0x8000;
constexpr double WindowLevelLimit = 600.0;
constexpr double SupplyUpperLimit = 7.49385; // 4095 counts of the 12-bit supply output

bool validPosition(int position)
{
    return position >= 0 && position < AlarmSource::Count;
}

bool signedSource(int position)
{
    return position >= AlarmSource::Gyro;
}

// Where alarm 1's and alarm 2's fields sit in Alm_Ctrl.
int sourceShift(int alarm)
{
    return alarm == 1 ? 8 : 12;
}
std::int32_t rateBit(int alarm)
{
    return alarm == 1 ? 0x0800 : 0x8000;
}

// The number a text box holds: read in the system's format when the whole text is a
// number, otherwise its leading number (0 when there is none).
double entryNumber(const QString& text)
{
    return IsNumeric(text) ? LocaleNumber(text) : LeadingNumber(text);
}

double countsOf(double level, float scale)
{
    return RoundHalfEven(level / static_cast<double>(scale));
}

} // namespace

QString AlarmSourceText(int position)
{
    return validPosition(position) ? QString::fromLatin1(SourceTexts[static_cast<std::size_t>(position)])
                                   : QString();
}

std::optional<int> AlarmSourcePositionOfText(const QString& text)
{
    for (int position = 0; position < AlarmSource::Count; ++position) {
        if (text.trimmed().compare(AlarmSourceText(position), Qt::CaseInsensitive) == 0)
            return position;
    }
    return std::nullopt;
}

int AlarmSourceNumber(int position)
{
    return position <= AlarmSource::Gyro ? position : position + 2;
}

std::optional<int> AlarmSourcePosition(int sourceNumber)
{
    const int position = sourceNumber <= 2 ? sourceNumber : sourceNumber - 2;
    if (!validPosition(position))
        return std::nullopt;
    return position;
}

QString AlarmSourceNumberText(int sourceNumber)
{
    if (const auto position = AlarmSourcePosition(sourceNumber))
        return AlarmSourceText(*position);
    return QStringLiteral("Unknown (%1)").arg(sourceNumber);
}

int AlarmSourceNumberOf(std::int32_t almCtrl, int alarm)
{
    return (almCtrl >> sourceShift(alarm)) & 0x7;
}

bool AlarmRateOfChangeOf(std::int32_t almCtrl, int alarm)
{
    return (almCtrl & rateBit(alarm)) != 0;
}

std::int32_t WithAlarmSourceNumber(std::int32_t almCtrl, int alarm, int sourceNumber)
{
    const int shift = sourceShift(alarm);
    return (almCtrl & ~(0x7 << shift)) | ((sourceNumber & 0x7) << shift);
}

std::int32_t WithAlarmRateOfChange(std::int32_t almCtrl, int alarm, bool enabled)
{
    return enabled ? (almCtrl | rateBit(alarm)) : (almCtrl & ~rateBit(alarm));
}

AlarmIndicator AlarmIndicatorOf(std::int32_t almCtrl)
{
    return AlarmIndicator{(almCtrl & 0x1) != 0, (almCtrl & 0x2) != 0, (almCtrl & 0x4) != 0};
}

std::int32_t WithAlarmIndicator(std::int32_t almCtrl, const AlarmIndicator& indicator)
{
    return (almCtrl & ~0x7) | (indicator.secondLine ? 0x1 : 0) | (indicator.polarityHigh ? 0x2 : 0) |
           (indicator.enabled ? 0x4 : 0);
}

float AlarmSourceScale(const SensorView& sensor, int position)
{
    // The list's positions are the map's indexes Endurance, Supply_Out, Gyro_Out,
    // Aux_ADC and Temp_Out.
    return CurrentScale(sensor, validPosition(position) ? position : 0);
}

float AlarmLevelOfWord(const SensorView& sensor, std::optional<int> position, std::int32_t magWord)
{
    if (!position || *position == AlarmSource::Disabled || !validPosition(*position))
        return 0.0f;
    std::int32_t count = magWord & FieldMask;
    if (signedSource(*position) && count > FieldMaxSigned)
        count -= FieldSpan;
    return static_cast<float>(count) * AlarmSourceScale(sensor, *position);
}

bool AlarmGreaterThanOf(std::int32_t magWord)
{
    return (magWord & GreaterThanBit) != 0;
}

std::optional<AlarmLevelLimits> AlarmLevelLimitsOf(const SensorView& sensor, int position)
{
    if (!validPosition(position) || position == AlarmSource::Disabled)
        return std::nullopt;
    if (position == AlarmSource::Supply)
        return AlarmLevelLimits{0.0, SupplyUpperLimit, QStringLiteral("0"),
                                GeneralFormat(SupplyUpperLimit, 7)};
    // The field's ends in the source's units, at the scale as a person reads it.
    const double scale = SingleAsDecimal(AlarmSourceScale(sensor, position));
    AlarmLevelLimits limits{-WindowLevelLimit, WindowLevelLimit, QStringLiteral("-600"),
                            QStringLiteral("600")};
    if (FieldMaxSigned * scale < WindowLevelLimit) {
        limits.upper = FieldMaxSigned * scale;
        limits.upperText = GeneralFormat(limits.upper, 7);
    }
    if (FieldMinSigned * scale > -WindowLevelLimit) {
        limits.lower = FieldMinSigned * scale;
        limits.lowerText = GeneralFormat(limits.lower, 7);
    }
    return limits;
}

AlarmLevelEntry LimitAlarmLevel(const SensorView& sensor, int position, const QString& levelText)
{
    AlarmLevelEntry entry{IsNumeric(levelText) ? levelText : QStringLiteral("0"), 0};
    const auto limits = AlarmLevelLimitsOf(sensor, position);
    if (!limits)
        return entry;
    double level = entryNumber(entry.text);
    if (level < limits->lower)
        entry.text = limits->lowerText;
    else if (level > limits->upper)
        entry.text = limits->upperText;
    level = entryNumber(entry.text);
    // The limit texts are rounded to 7 digits: keep the count inside the field anyway.
    const double count = countsOf(level, AlarmSourceScale(sensor, position));
    if (signedSource(position)) {
        const auto field =
            static_cast<std::int32_t>(std::clamp<double>(count, FieldMinSigned, FieldMaxSigned));
        entry.count = level < 0 ? (FieldSpan + field) & FieldMask : field;
    } else {
        entry.count = static_cast<std::int32_t>(std::clamp<double>(count, 0, FieldMask));
    }
    return entry;
}

std::int32_t AlarmMagnitudeWord(std::int32_t count, bool greaterThan)
{
    return (count & FieldMask) | (greaterThan ? GreaterThanBit : 0);
}

std::int32_t ProvisionalMagnitudeWord(const SensorView& sensor, int position, const QString& levelText,
                                      bool greaterThan)
{
    double count = countsOf(entryNumber(levelText), AlarmSourceScale(sensor, position));
    if (std::isnan(count))
        count = 0.0;
    count = std::clamp<double>(count, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max());
    const std::int64_t word = static_cast<std::int64_t>(count) + (greaterThan ? GreaterThanBit : 0);
    return static_cast<std::int32_t>(word & 0xFFFF);
}

AlarmAverageEntry LimitAlarmAverage(const QString& averageText)
{
    AlarmAverageEntry entry{IsNumeric(averageText) ? averageText : QStringLiteral("0"), 0};
    const double value = entryNumber(entry.text);
    if (value < 0)
        entry.text = QStringLiteral("0");
    else if (value > 255)
        entry.text = QStringLiteral("255");
    entry.value = static_cast<std::int32_t>(RoundHalfEven(std::clamp(entryNumber(entry.text), 0.0, 255.0)));
    return entry;
}

} // namespace gyro
