#pragma once
// The simulated sensor's register layout as the sensor itself knows it: which word
// sits at which SPI address, which bits a write may change, what the flash keeps and
// what the factory put there, plus the decoders of its configuration fields.
#include <cstdint>

namespace gyro::sim {

// SPI addresses (the low byte; the high byte sits at address + 1), named as the sensor names them.
namespace SensorAddress {
constexpr int Endurance = 0x00; // flash update counter
constexpr int Supply_Out = 0x02;
constexpr int Gyro_Out = 0x04;
constexpr int Aux_ADC = 0x0A;
constexpr int Temp_Out = 0x0C;
constexpr int ANGL_OUT = 0x0E;
constexpr int GYRO_OFST = 0x14;
constexpr int GYRO_SCALE = 0x16;
constexpr int Alm_Mag1 = 0x20;
constexpr int Alm_Mag2 = 0x22;
constexpr int Alm_Smpl1 = 0x24;
constexpr int Alm_Smpl2 = 0x26;
constexpr int Alm_Ctrl = 0x28;
constexpr int Aux_DAC = 0x30;
constexpr int Gpio_Ctrl = 0x32;
constexpr int Msc_Ctrl = 0x34;
constexpr int Smpl_Prd = 0x36;
constexpr int Sens_Avg = 0x38;
constexpr int Pwr_Mde = 0x3A;
constexpr int Status = 0x3C;
constexpr int Command = 0x3E;
constexpr int Trim = 0x44; // factory trim word (X_V_OFF, X_V_SCL, V_NOM, T_NOM share it)
} // namespace SensorAddress

// 128 byte addresses make 64 sixteen-bit words; word i holds addresses 2i and 2i + 1.
constexpr int SensorWordCount = 64;
constexpr int wordIndexOf(int address)
{
    return (address & 0x7F) >> 1;
}

enum class RegisterKind {
    Unmapped, // reads 0, a write sets the SPI write flag
    Counter,  // Endurance: read-only, counts flash updates
    Output,   // measured by the sensor each sample; carries the new-data and error flags
    Control,  // configuration written by the user
    Status,   // read-only; event bits clear when it is read
    Command,  // write-only; acts on write, reads 0
};

struct RegisterLayout {
    int address = 0; // even address of the word
    RegisterKind kind = RegisterKind::Unmapped;
    std::uint16_t writeMask = 0; // bits a write frame may change (0: read-only)
    std::uint16_t flashMask = 0; // bits the flash update keeps (0: not kept)
    std::uint16_t factory = 0;   // word after a factory restore
};

// The layout of the word that holds `address` (any value; masked to 7 bits).
const RegisterLayout& layoutOf(int address);

// Flags in bits 15 and 14 of every output word.
constexpr std::uint16_t NewDataFlag = 0x8000;
constexpr std::uint16_t ErrorFlag = 0x4000;

// Status bits.
namespace StatusBit {
constexpr std::uint16_t SupplyLow = 1u << 0;
constexpr std::uint16_t SupplyHigh = 1u << 1;
constexpr std::uint16_t ControlWrite = 1u << 2; // a flash update failed (latched until Status is read)
constexpr std::uint16_t SpiWrite = 1u << 3;     // a write to a read-only or unmapped address (latched)
constexpr std::uint16_t OverRange = 1u << 4;
constexpr std::uint16_t SelfTestFail = 1u << 5;
constexpr std::uint16_t Alarm1 = 1u << 8;
constexpr std::uint16_t Alarm2 = 1u << 9;
} // namespace StatusBit

// Bits of a value written to Command; several may be combined.
namespace CommandBit {
constexpr std::uint16_t AutoNull = 1;
constexpr std::uint16_t FactoryRestore = 2;
constexpr std::uint16_t DacLatch = 4;
constexpr std::uint16_t FlashUpdate = 8;
} // namespace CommandBit

constexpr std::uint16_t SelfTestBit = 1u << 8; // in Msc_Ctrl

// Engineering scales of the output and offset words.
constexpr double SupplyVoltsPerCount = 0.00183;
constexpr double TempCelsiusPerCount = 0.1454139; // Temp_Out 0 = 25 C
constexpr double AngleDegreesPerCount = 0.03663;
constexpr double OffsetDegPerSecPerCount = 0.018315;
constexpr double AuxFullScaleVolts = 2.5; // DAC and ADC: 4095 counts = 2.5 V
constexpr int AuxFullScaleCount = 4095;
constexpr double SupplyLowVolts = 4.75;
constexpr double SupplyHighVolts = 5.25;
constexpr int GyroScaleUnity = 0x0800; // GYRO_SCALE word for a gain of exactly 1

// Internal sample period in seconds from Smpl_Prd: bit 7 picks the time base (0: 1.953 ms,
// 1: 60.54 ms), bits 6..0 hold NS, period = base x (NS + 1). The value 0 is the sensor's
// fastest mode, 2048 samples per second.
double samplePeriodSeconds(std::uint16_t smplPrd);

// Measurement range from the range field (bits 10..8) of Sens_Avg: 4 = 320 deg/s,
// 2 = 160, 1 = 80. Other codes: the highest bit set wins, no bit at all means 320.
struct RateRange {
    double fullScaleDegPerSec;
    double degPerSecPerCount;
};
RateRange rateRangeOf(std::uint16_t sensAvg);

// Taps of the rate filter from bits 2..0 (N) of Sens_Avg: 2 x 2^N + 1, so 3 ... 257.
int filterTapsOf(std::uint16_t sensAvg);
constexpr int MaxFilterTaps = 257;

// Bit 7 of Sens_Avg: the wide (300 Hz) analog bandwidth instead of the narrow (50 Hz) one.
constexpr bool wideBandwidthOf(std::uint16_t sensAvg)
{
    return (sensAvg & 0x80) != 0;
}

} // namespace gyro::sim
