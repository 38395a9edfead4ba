#include "OperationWords.h"

#include "NumberText.h"
#include "RegisterAccess.h"
#include "SensorCommands.h"
#include "SpiLinks.h"
#include "Timing.h"

#include <algorithm>
#include <cmath>

namespace gyro {

namespace {
constexpr double ShortTimeBase = 0.001953; // seconds per count, bit 7 clear
constexpr double LongTimeBase = 0.06054;   // seconds per count, bit 7 set
constexpr double TimeBaseSwitchRate = 3.846;
constexpr double ShownAsTopRate = 257.0;
constexpr std::int32_t LongTimeBaseBit = 0x80;
constexpr std::int32_t MostPeriodCounts = 127; // NS is a 7-bit field

constexpr float SamplePeriodWaitMs = 10.0f;
constexpr float ControlWaitMs = 100.0f;
constexpr float DacLatchWaitMs = 300.0f;
constexpr double DacTopCode = 4095.0;

std::optional<std::int32_t> writeAndReadBack(GyroState& g, int index, std::int32_t word, float waitMs)
{
    if (!WriteRegister(g, index, word))
        return std::nullopt;
    DelayMs(g, waitMs);
    return ReadWord(g, index);
}
} // namespace

double SampleRateEntry(const QString& text)
{
    return IsNumeric(text) ? LocaleNumber(text) : DefaultSampleRate;
}

std::int32_t SamplePeriodWord(double rate)
{
    rate = std::clamp(rate, LowestSampleRate, HighestSampleRate);
    const bool longBase = rate < TimeBaseSwitchRate;
    const double base = longBase ? LongTimeBase : ShortTimeBase;
    // Just above the switch rate the short base needs more than 127 counts; the
    // field cannot hold them, and 127 is the nearest period it can.
    const double counts = std::max(0.0, 1.0 / rate / base - 1.0);
    const auto ns = static_cast<std::int32_t>(std::min(RoundHalfEven(counts), double{MostPeriodCounts}));
    return ns + (longBase ? LongTimeBaseBit : 0);
}

double SampleRateOfWord(std::int32_t word)
{
    const double base = (word & LongTimeBaseBit) != 0 ? LongTimeBase : ShortTimeBase;
    const double rate = 1.0 / (base * ((word & MostPeriodCounts) + 1));
    return rate > ShownAsTopRate ? HighestSampleRate : rate;
}

QString SampleRateText(double rate)
{
    return FormatNumber(rate, QStringLiteral("##0.0##"));
}

SamplePeriodChoice ChooseSamplePeriod(GyroState& g, double rate)
{
    SamplePeriodChoice choice{SamplePeriodWord(rate), false};
    if (!CurrentLink(g).allowsLowPowerSampling() && choice.word > UsbSamplePeriodLimit) {
        choice.word = UsbSamplePeriodLimit;
        choice.lowPowerLimited = true;
    }
    return choice;
}

QString LowPowerWarning()
{
    return QStringLiteral(
        "Setting the sample rate lower than 163.84 sps, or\r\n"
        "setting the value of the sample period register greater than 9\r\n"
        "will place the 28150 into low power mode.\r\n"
        "The 28150 cannot communicate over a high speed USB interface in low power mode.\r\n"
        "Refer to the 28150 data sheet; 'Internal Sample Rate' or 'SMPL_PRD' register.");
}

int CorrectedTaps(const QString& text)
{
    return LimitedTaps(IsNumeric(text) ? LocaleNumber(text) : 0.0);
}

int LimitedTaps(double taps)
{
    return static_cast<int>(RoundHalfEven(std::clamp(taps, double{FewestTaps}, double{MostTaps})));
}

int FilterSetting(int taps)
{
    return static_cast<int>(RoundHalfEven(std::log2((taps - 1) / 2.0)));
}

int TapsOfSetting(int setting)
{
    return 2 * (1 << setting) + 1;
}

std::int32_t SensAvgWord(const SensAvgSettings& settings)
{
    return (settings.wideBandwidth ? 0x80 : 0) + 256 * settings.rangeCode + FilterSetting(settings.taps);
}

SensAvgSettings SensAvgSettingsOf(std::int32_t word)
{
    return {TapsOfSetting(word & 0x7), (word >> 8) & 0x7, (word & 0x80) != 0};
}

int RangeDegPerSec(int rangeCode)
{
    switch (rangeCode) {
    case RangeCode::Range80:
        return 80;
    case RangeCode::Range160:
        return 160;
    case RangeCode::Range320:
        return 320;
    default:
        return 0;
    }
}

std::int32_t GpioCtrlWord(const GpioSettings& s)
{
    return (s.line0Output ? 0x1 : 0) + (s.line1Output ? 0x2 : 0) + (s.line0High ? 0x100 : 0) +
           (s.line1High ? 0x200 : 0);
}

GpioSettings GpioSettingsOf(std::int32_t word)
{
    return {(word & 0x1) != 0, (word & 0x2) != 0, (word & 0x100) != 0, (word & 0x200) != 0};
}

std::int32_t MscCtrlWord(const DataReadySettings& s)
{
    return (s.secondLine ? 0x1 : 0) + (s.activeHigh ? 0x2 : 0) + (s.enabled ? 0x4 : 0);
}

DataReadySettings DataReadySettingsOf(std::int32_t word)
{
    return {(word & 0x1) != 0, (word & 0x2) != 0, (word & 0x4) != 0};
}

double CorrectedDacVolts(const QString& text)
{
    return LimitedDacVolts(IsNumeric(text) ? LocaleNumber(text) : 0.0);
}

double LimitedDacVolts(double volts)
{
    return std::clamp(volts, 0.0, DacFullScaleVolts);
}

std::int32_t DacCode(double volts)
{
    return static_cast<std::int32_t>(std::floor(volts / DacFullScaleVolts * DacTopCode));
}

double DacVolts(std::int32_t code)
{
    return code / DacTopCode * DacFullScaleVolts;
}

QString DacVoltsText(double volts)
{
    return FormatNumber(volts, QStringLiteral("0.0######"));
}

std::optional<std::int32_t> ReadWord(GyroState& g, int index)
{
    const RegisterRead r = ReadRegister(g, index);
    if (!r)
        return std::nullopt;
    return r->RegWord;
}

std::optional<std::int32_t> WriteSamplePeriod(GyroState& g, std::int32_t word)
{
    return writeAndReadBack(g, Idx_Smpl_Prd, word, SamplePeriodWaitMs);
}

std::optional<std::int32_t> WriteSensAvg(GyroState& g, std::int32_t word)
{
    if (!WriteRegister(g, Idx_Sens_Avg, word))
        return std::nullopt;
    const auto readBack = ReadWord(g, Idx_Sens_Avg);
    if (readBack)
        TellIfFailed(g.ui, SetGyroScale(g).outcome); // the front end tells a range the sensor cannot hold
    return readBack;
}

std::optional<std::int32_t> WriteGpioCtrl(GyroState& g, std::int32_t word)
{
    g.GpioCtrlShadow = word;
    return writeAndReadBack(g, Idx_Gpio_Ctrl, word, ControlWaitMs);
}

std::optional<std::int32_t> WriteMscCtrl(GyroState& g, std::int32_t word)
{
    g.MscCtrlShadow = word;
    return writeAndReadBack(g, Idx_Msc_Ctrl, word, ControlWaitMs);
}

std::optional<std::int32_t> WriteAuxDac(GyroState& g, std::int32_t code)
{
    if (!WriteRegister(g, Idx_Aux_DAC, code))
        return std::nullopt;
    DelayMs(g, ControlWaitMs);
    if (!RunTimedCommand(g, CommandCode::DacLatch, DacLatchWaitMs))
        return std::nullopt;
    return ReadWord(g, Idx_Aux_DAC);
}

} // namespace gyro
