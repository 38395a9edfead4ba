#pragma once
// The sensor's SPI registers: one entry per register index, 0..296. Entries
// 0..24 are defined; the rest stay empty and unreadable. The map never changes
// once built: the rate output's current scale is kept beside it (GyroScale).
#include <QString>
#include <array>
#include <cstdint>

namespace gyro {

struct RegisterEntry {
    QString RegName;
    std::int32_t RegAddress = 0; // SPI address of the low byte; high byte at + 1
    std::uint8_t RegByteCount = 0;
    std::int16_t RegBitWidth = 0; // valid low-order bits of the word
    bool RegSigned = false;       // valid bits are two's complement
    float RegScale = 0.0f;        // engineering units per count
    float RegOffset = 0.0f;       // added after scaling
    bool RegReadable = false;
    bool RegWritable = false;
    bool RegHasNewData = false; // bit 15 is the new-data flag
    bool RegHasError = false;   // bit 14 is the error/alarm flag
};

constexpr int RegisterSlotCount = 297; // indexes 0..296
using RegisterMap = std::array<RegisterEntry, RegisterSlotCount>;

// Register index constants, in map order.
constexpr std::int16_t Idx_Endurance = 0;
constexpr std::int16_t Idx_Supply_Out = 1;
constexpr std::int16_t Idx_Gyro_Out = 2;
constexpr std::int16_t Idx_Aux_ADC = 3;
constexpr std::int16_t Idx_Temp_Out = 4;
constexpr std::int16_t Idx_ANGL_OUT = 5;
constexpr std::int16_t Idx_GYRO_OFST = 6;
constexpr std::int16_t Idx_GYRO_SCALE = 7;
constexpr std::int16_t Idx_X_V_OFF = 8;
constexpr std::int16_t Idx_X_V_SCL = 9;
constexpr std::int16_t Idx_V_NOM = 10;
constexpr std::int16_t Idx_T_NOM = 11;
constexpr std::int16_t Idx_Alm_Mag1 = 12;
constexpr std::int16_t Idx_Alm_Mag2 = 13;
constexpr std::int16_t Idx_Alm_Smpl1 = 14;
constexpr std::int16_t Idx_Alm_Smpl2 = 15;
constexpr std::int16_t Idx_Alm_Ctrl = 16;
constexpr std::int16_t Idx_Aux_DAC = 17;
constexpr std::int16_t Idx_Gpio_Ctrl = 18;
constexpr std::int16_t Idx_Msc_Ctrl = 19;
constexpr std::int16_t Idx_Smpl_Prd = 20;
constexpr std::int16_t Idx_Sens_Avg = 21;
constexpr std::int16_t Idx_Pwr_Mde = 22;
constexpr std::int16_t Idx_Status = 23;
constexpr std::int16_t Idx_Command = 24;

// Fills entries 0..24 (clearing every other slot) and returns LastRegisterIndex (24).
std::int16_t FillRegisterMap(RegisterMap& map);

// The sensor's map, built on first use and never changed after.
const RegisterMap& SensorRegisterMap();
// The highest index the sensor's map defines.
std::int16_t SensorLastRegisterIndex();

// The index of the entry named `name`, or -1 when no entry 0..lastIndex has it.
int FindRegisterIndex(const RegisterMap& map, std::int16_t lastIndex, const QString& name);

} // namespace gyro
