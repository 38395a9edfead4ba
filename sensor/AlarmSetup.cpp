#include "AlarmSetup.h"

#include "RegisterAccess.h"
#include "Timing.h"

namespace gyro {

namespace {

constexpr float SourceSettleMs = 150.0f; // between the source write and the final levels

std::optional<std::int32_t> readWord(GyroState& g, int index, std::int32_t& shadow)
{
    const RegisterRead r = ReadRegister(g, index);
    if (!r)
        return std::nullopt;
    shadow = r->RegWord;
    return r->RegWord;
}

// Reads Alm_Ctrl, changes it and writes it back, keeping it in the shadow.
template <typename Change> bool updateAlarmControl(GyroState& g, Change change)
{
    const RegisterRead r = ReadRegister(g, Idx_Alm_Ctrl);
    if (!r)
        return false;
    g.AlmCtrlShadow = change(r->RegWord);
    return WriteRegister(g, Idx_Alm_Ctrl, g.AlmCtrlShadow);
}

int magIndex(int alarm)
{
    return alarm == 1 ? Idx_Alm_Mag1 : Idx_Alm_Mag2;
}

std::int32_t& magShadow(GyroState& g, int alarm)
{
    return alarm == 1 ? g.AlmMag1Shadow : g.AlmMag2Shadow;
}

} // namespace

AlarmRegisters ReadAlarmRegisters(GyroState& g)
{
    AlarmRegisters r;
    r.mag[0] = readWord(g, Idx_Alm_Mag1, g.AlmMag1Shadow);
    r.mag[1] = readWord(g, Idx_Alm_Mag2, g.AlmMag2Shadow);
    r.smpl[0] = readWord(g, Idx_Alm_Smpl1, g.AlmSmpl1Shadow);
    r.smpl[1] = readWord(g, Idx_Alm_Smpl2, g.AlmSmpl2Shadow);
    r.ctrl = readWord(g, Idx_Alm_Ctrl, g.AlmCtrlShadow);
    return r;
}

bool WriteAlarmSetup(GyroState& g, std::array<AlarmLevelSetting, 2>& alarms)
{
    bool ok = true;
    // Provisional magnitudes, unlimited; the final words follow below.
    for (int alarm = 1; alarm <= 2; ++alarm) {
        const AlarmLevelSetting& a = alarms[static_cast<std::size_t>(alarm - 1)];
        if (a.position)
            ok &= WriteRegister(g, magIndex(alarm),
                                ProvisionalMagnitudeWord(g, *a.position, a.levelText, a.greaterThan));
    }
    ok &= updateAlarmControl(g, [&](std::int32_t word) {
        for (int alarm = 1; alarm <= 2; ++alarm) {
            if (const auto& position = alarms[static_cast<std::size_t>(alarm - 1)].position)
                word = WithAlarmSourceNumber(word, alarm, AlarmSourceNumber(*position));
        }
        return word;
    });
    DelayMs(g, SourceSettleMs);
    // Every level box is corrected first, then the two words go out.
    std::array<std::int32_t, 2> counts{};
    for (std::size_t i = 0; i < 2; ++i) {
        AlarmLevelSetting& a = alarms[i];
        const AlarmLevelEntry entry =
            LimitAlarmLevel(g, a.position.value_or(AlarmSource::Disabled), a.levelText);
        a.levelText = entry.text;
        counts[i] = entry.count;
    }
    for (int alarm = 1; alarm <= 2; ++alarm) {
        const AlarmLevelSetting& a = alarms[static_cast<std::size_t>(alarm - 1)];
        if (!a.position)
            continue;
        magShadow(g, alarm) = AlarmMagnitudeWord(counts[static_cast<std::size_t>(alarm - 1)], a.greaterThan);
        ok &= WriteRegister(g, magIndex(alarm), magShadow(g, alarm));
    }
    return ok;
}

bool WriteAlarmAverage(GyroState& g, int alarm, QString& averageText, bool rateOfChange)
{
    const AlarmAverageEntry entry = LimitAlarmAverage(averageText);
    averageText = entry.text;
    bool ok = WriteRegister(g, alarm == 1 ? Idx_Alm_Smpl1 : Idx_Alm_Smpl2, entry.value);
    ok &= updateAlarmControl(
        g, [&](std::int32_t word) { return WithAlarmRateOfChange(word, alarm, rateOfChange); });
    return ok;
}

bool WriteDigitalIndicator(GyroState& g, const AlarmIndicator& indicator)
{
    return updateAlarmControl(g, [&](std::int32_t word) { return WithAlarmIndicator(word, indicator); });
}

} // namespace gyro
