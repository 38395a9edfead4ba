#pragma once
// Reading and writing the alarm registers, shared by the alarm window and gyroctl.
// Every write reads Alm_Ctrl first and changes only its own bits, so each group keeps
// the bits the others set; a failed read of Alm_Ctrl writes no Alm_Ctrl at all.
#include "AlarmWords.h"
#include "GyroState.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace gyro {

// The five alarm words as read; a register whose read failed holds nothing.
struct AlarmRegisters {
    std::array<std::optional<std::int32_t>, 2> mag;  // Alm_Mag1, Alm_Mag2
    std::array<std::optional<std::int32_t>, 2> smpl; // Alm_Smpl1, Alm_Smpl2
    std::optional<std::int32_t> ctrl;                // Alm_Ctrl
    bool complete() const { return mag[0] && mag[1] && smpl[0] && smpl[1] && ctrl; }
};

// Reads Alm_Mag1, Alm_Mag2, Alm_Smpl1, Alm_Smpl2 and Alm_Ctrl in that order and keeps
// each word that came in its shadow (AlmMag1Shadow .. AlmCtrlShadow).
AlarmRegisters ReadAlarmRegisters(GyroState& g);

// One alarm's source, level and polarity as the user gave them. Without a source
// (a selector holding typed text that names no entry) the alarm is left as the sensor
// holds it: its source number and magnitude word are not changed.
struct AlarmLevelSetting {
    std::optional<int> position; // source list position
    QString levelText;           // corrected in place: "0" for no number, limits
    bool greaterThan = false;
};

// Writes both alarms' sources and levels: the provisional magnitudes, then the sources
// into Alm_Ctrl, a 150 ms wait, then the limited magnitude words. Returns false when a
// read or write did not go through.
bool WriteAlarmSetup(GyroState& g, std::array<AlarmLevelSetting, 2>& alarms);

// Writes one alarm's average number (text corrected in place) to Alm_Smpl1/2 and its
// rate-of-change bit into Alm_Ctrl. False when a read or write did not go through.
bool WriteAlarmAverage(GyroState& g, int alarm, QString& averageText, bool rateOfChange);

// Writes the indicator bits 2..0 of Alm_Ctrl. False when a read or write did not go through.
bool WriteDigitalIndicator(GyroState& g, const AlarmIndicator& indicator);

} // namespace gyro
