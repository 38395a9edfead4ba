#pragma once
// The words of the sensor's two alarms and its alarm indicator line, as the alarm
// window and gyroctl read and write them:
//   Alm_Mag1/2   bit 15 polarity (1 "Greater than"), bits 13..0 the level in counts
//                of the alarm's source (unsigned for the supply, else 14-bit signed)
//   Alm_Smpl1/2  the average number, 0..255
//   Alm_Ctrl     bits 2..0 indicator (line, polarity, enable), 10..8 alarm 1 source,
//                11 alarm 1 rate of change, 14..12 alarm 2 source, 15 alarm 2 rate
// A source is chosen from a five-entry list; an entry's position is also the index
// of the register-map entry whose scale converts the alarm's counts.
#include "GyroState.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace gyro {

// Positions of the source list.
namespace AlarmSource {
constexpr int Disabled = 0;
constexpr int Supply = 1;
constexpr int Gyro = 2;
constexpr int Aux = 3;
constexpr int Temp = 4;
constexpr int Count = 5;
} // namespace AlarmSource

// "Disabled", "Supply V", "Gyro", "Aux_ADC", "Temp".
QString AlarmSourceText(int position);
// The position whose text is `text` (case aside), or nothing.
std::optional<int> AlarmSourcePositionOfText(const QString& text);

// Position -> the number stored in Alm_Ctrl: 0, 1, 2, 5, 6.
int AlarmSourceNumber(int position);
// Stored number -> position: s when s <= 2, else s - 2 (so 3 and 4 show as "Supply V"
// and "Gyro"). 7 has no entry: nothing.
std::optional<int> AlarmSourcePosition(int sourceNumber);
// The text a stored source number shows: its entry, or "Unknown (7)".
QString AlarmSourceNumberText(int sourceNumber);

// Alarm 1 or 2: its source number, rate-of-change bit and their masks in Alm_Ctrl.
int AlarmSourceNumberOf(std::int32_t almCtrl, int alarm);
bool AlarmRateOfChangeOf(std::int32_t almCtrl, int alarm);
std::int32_t WithAlarmSourceNumber(std::int32_t almCtrl, int alarm, int sourceNumber);
std::int32_t WithAlarmRateOfChange(std::int32_t almCtrl, int alarm, bool enabled);

// The alarm indicator line, bits 2..0 of Alm_Ctrl.
struct AlarmIndicator {
    bool secondLine = false;   // bit 0: "DI/O 2" (else "DI/O 1")
    bool polarityHigh = false; // bit 1
    bool enabled = false;      // bit 2
};
AlarmIndicator AlarmIndicatorOf(std::int32_t almCtrl);
std::int32_t WithAlarmIndicator(std::int32_t almCtrl, const AlarmIndicator& indicator);

// Units per count of a source position: the scale of its map entry (Endurance's 1
// for "Disabled"; for "Gyro" the scale of the current range).
float AlarmSourceScale(const SensorView& sensor, int position);

// The level a magnitude word stands for: bits 13..0 times the source's scale, in
// single precision, without the map's offset. "Disabled" (or no source) gives 0.
float AlarmLevelOfWord(const SensorView& sensor, std::optional<int> position, std::int32_t magWord);
bool AlarmGreaterThanOf(std::int32_t magWord);

// The range a level box may hold for a source: the window's limits (0 .. 7.49385 V for
// the supply, -600 .. 600 otherwise), narrowed to what the 14-bit field can hold at the
// current scale, so that a count never wraps into another level. Texts are what the
// box shows when a level is limited. "Disabled" has no limits.
struct AlarmLevelLimits {
    double lower;
    double upper;
    QString lowerText;
    QString upperText;
};
std::optional<AlarmLevelLimits> AlarmLevelLimitsOf(const SensorView& sensor, int position);

// A level entry made ready to write: the box's corrected text and the 14-bit count.
// Text that is not a number becomes "0"; a level beyond its limits becomes the limit's
// text; the count is level / scale rounded (halves to even), a negative level of a
// signed source stored as 16384 + count. "Disabled" gives count 0.
struct AlarmLevelEntry {
    QString text;
    std::int32_t count = 0; // 0..16383
};
AlarmLevelEntry LimitAlarmLevel(const SensorView& sensor, int position, const QString& levelText);

// The magnitude word of a 14-bit count and polarity (bit 14 always 0).
std::int32_t AlarmMagnitudeWord(std::int32_t count, bool greaterThan);

// The word the first, unlimited write of an alarm level sends: level / scale rounded,
// plus 32768 for "Greater than", as its low 16 bits. An absurd level saturates at the
// 32-bit range instead of overflowing.
std::int32_t ProvisionalMagnitudeWord(const SensorView& sensor, int position, const QString& levelText,
                                      bool greaterThan);

// An average-number entry made ready to write: text that is not a number becomes "0",
// values below 0 "0" and above 255 "255"; the value written is rounded (halves to even).
struct AlarmAverageEntry {
    QString text;
    std::int32_t value = 0;
};
AlarmAverageEntry LimitAlarmAverage(const QString& averageText);

} // namespace gyro
