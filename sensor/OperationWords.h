#pragma once
// The operating registers as the operational control window and gyroctl set them:
// the sample rate in Smpl_Prd, filter taps, bandwidth and range in Sens_Avg, the two
// I/O lines in Gpio_Ctrl, the data-ready line in Msc_Ctrl and the auxiliary DAC.
// Each write reads its register back, so the caller shows what the sensor holds.
#include "GyroState.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace gyro {

// Sample rate, samples per second.
constexpr double LowestSampleRate = 1.0 / 7.75;
constexpr double HighestSampleRate = 2048.0;
constexpr double DefaultSampleRate = 256.0;
// Smpl_Prd values above this put the sensor into low-power mode, in which it cannot
// talk over a high-speed USB card.
constexpr std::int32_t UsbSamplePeriodLimit = 9;

// The rate an entry of the rate box asks for: the value of a text that reads as a
// number in the system's format, otherwise the default rate.
double SampleRateEntry(const QString& text);
// Smpl_Prd for a rate, limited to LowestSampleRate..HighestSampleRate: below 3.846
// samples a second the long time base (0.06054 s), otherwise the short one
// (0.001953 s); NS is the nearest count the 7-bit field can hold.
std::int32_t SamplePeriodWord(double rate);
// The rate a Smpl_Prd word sets; above 257 it is shown as the top rate, 2048.
double SampleRateOfWord(std::int32_t word);
// The rate as the windows show it: "##0.0##".
QString SampleRateText(double rate);

struct SamplePeriodChoice {
    std::int32_t word = 0;
    bool lowPowerLimited = false; // the USB card's limit replaced a larger value
};
// The Smpl_Prd value for a rate on the current interface: on the USB card a value
// above UsbSamplePeriodLimit becomes the limit.
SamplePeriodChoice ChooseSamplePeriod(GyroState& g, double rate);
// The warning shown when the USB limit applied.
QString LowPowerWarning();

// Sens_Avg: filter setting N in bits 2..0 (2 x 2^N + 1 taps), analog bandwidth in
// bit 7 (1: 0 to 300 Hz), range code in bits 10..8.
namespace RangeCode {
constexpr int Range80 = 1;
constexpr int Range160 = 2;
constexpr int Range320 = 4;
} // namespace RangeCode

struct SensAvgSettings {
    int taps = 3;
    int rangeCode = RangeCode::Range320;
    bool wideBandwidth = false; // 0 to 300 Hz
};
constexpr int FewestTaps = 3;
constexpr int MostTaps = 257;

// A taps entry corrected as the window does: not a number 0, then limited to 3..257,
// then rounded to a whole number (halves to even).
int CorrectedTaps(const QString& text);
int LimitedTaps(double taps);
// The filter setting N nearest a number of taps (3 -> 0, 100 -> 6, 257 -> 7).
int FilterSetting(int taps);
int TapsOfSetting(int setting);
std::int32_t SensAvgWord(const SensAvgSettings& settings);
SensAvgSettings SensAvgSettingsOf(std::int32_t word);
// The range in degrees per second of a range code, 0 for a code the sensor does not know.
int RangeDegPerSec(int rangeCode);

// Gpio_Ctrl: bits 0/1 line directions (1 output), bits 8/9 line levels (1 high).
struct GpioSettings {
    bool line0Output = false;
    bool line1Output = false;
    bool line0High = false;
    bool line1High = false;
};
std::int32_t GpioCtrlWord(const GpioSettings& settings);
GpioSettings GpioSettingsOf(std::int32_t word);

// Msc_Ctrl as this window writes it: bit 0 data-ready on the second line, bit 1 active
// high, bit 2 enabled. Every other bit is written 0 (self-test among them).
struct DataReadySettings {
    bool secondLine = false;
    bool activeHigh = false;
    bool enabled = false;
};
std::int32_t MscCtrlWord(const DataReadySettings& settings);
DataReadySettings DataReadySettingsOf(std::int32_t word);

// Auxiliary DAC: code 0..4095 for 0..2.5 V.
constexpr double DacFullScaleVolts = 2.5;
// A volts entry corrected as the window does: not a number 0, then limited to 0..2.5.
double CorrectedDacVolts(const QString& text);
double LimitedDacVolts(double volts);
std::int32_t DacCode(double volts);
double DacVolts(std::int32_t code);
QString DacVoltsText(double volts); // "0.0######"

// Writes, each followed by its wait and a read-back of the register. They return
// the word read back, or nothing when the write or the read-back failed (the shadow
// words still take the value written, as they stand for what was sent).
std::optional<std::int32_t> WriteSamplePeriod(GyroState& g, std::int32_t word);
// Also sets the rate scale for the range now in the sensor.
std::optional<std::int32_t> WriteSensAvg(GyroState& g, std::int32_t word);
std::optional<std::int32_t> WriteGpioCtrl(GyroState& g, std::int32_t word);
std::optional<std::int32_t> WriteMscCtrl(GyroState& g, std::int32_t word);
// The DAC code, 100 ms, the DAC latch command, 300 ms, then the read-back.
std::optional<std::int32_t> WriteAuxDac(GyroState& g, std::int32_t code);

// One register's word, or nothing when the read failed.
std::optional<std::int32_t> ReadWord(GyroState& g, int index);

} // namespace gyro
