#include "RegisterMap.h"

namespace gyro {

namespace {

struct Row {
    std::int16_t index;
    const char* name;
    std::int32_t address;
    std::uint8_t bytes;
    std::int16_t bits;
    bool isSigned;
    float scale;
    float offset;
    bool readable, writable, newData, error;
};

constexpr bool Y = true;
constexpr bool N = false;

// clang-format off
constexpr Row kRows[] = {
    //  index           name          addr  by bits sign  scale       off   R  W  ND ER
    {Idx_Endurance,  "Endurance",  0x00, 2, 16, N, 1.0f,       0.0f, Y, N, N, N},
    {Idx_Supply_Out, "Supply_Out", 0x02, 2, 12, N, 0.00183f,   0.0f, Y, N, Y, Y},
    {Idx_Gyro_Out,   "Gyro_Out",   0x04, 2, 14, Y, 0.07326f,   0.0f, Y, N, Y, Y},
    {Idx_Aux_ADC,    "Aux_ADC",    0x0A, 2, 12, N, 0.000611f,  0.0f, Y, N, Y, Y},
    {Idx_Temp_Out,   "Temp_Out",   0x0C, 2, 12, Y, 0.1454139f, 25.0f, Y, N, Y, Y},
    {Idx_ANGL_OUT,   "ANGL_OUT",   0x0E, 2, 14, N, 0.03663f,   0.0f, Y, Y, Y, Y},
    {Idx_GYRO_OFST,  "GYRO_OFST",  0x14, 2, 12, Y, 0.018315f,  0.0f, Y, Y, N, N},
    {Idx_GYRO_SCALE, "GYRO_SCALE", 0x16, 2, 12, N, 0.000488f,  0.0f, Y, Y, N, N},
    {Idx_X_V_OFF,    "X_V_OFF",    0x44, 2,  9, Y, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_X_V_SCL,    "X_V_SCL",    0x44, 1,  8, Y, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_V_NOM,      "V_NOM",      0x44, 2, 12, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_T_NOM,      "T_NOM",      0x44, 2, 16, Y, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Alm_Mag1,   "Alm_Mag1",   0x20, 2, 16, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Alm_Mag2,   "Alm_Mag2",   0x22, 2, 16, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Alm_Smpl1,  "Alm_Smpl1",  0x24, 2,  8, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Alm_Smpl2,  "Alm_Smpl2",  0x26, 2,  8, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Alm_Ctrl,   "Alm_Ctrl",   0x28, 2, 16, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Aux_DAC,    "Aux_DAC",    0x30, 2, 12, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Gpio_Ctrl,  "Gpio_Ctrl",  0x32, 2, 10, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Msc_Ctrl,   "Msc_Ctrl",   0x34, 2, 12, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Smpl_Prd,   "Smpl_Prd",   0x36, 1,  8, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Sens_Avg,   "Sens_Avg",   0x38, 2, 11, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Pwr_Mde,    "Pwr_Mde",    0x3A, 1,  8, N, 1.0f,       0.0f, Y, Y, N, N},
    {Idx_Status,     "Status",     0x3C, 2, 10, N, 1.0f,       0.0f, Y, N, N, N},
    {Idx_Command,    "Command",    0x3E, 1,  8, N, 1.0f,       0.0f, N, Y, N, N},
};
// clang-format on

} // namespace

std::int16_t FillRegisterMap(RegisterMap& map)
{
    map.fill(RegisterEntry{});
    std::int16_t last = 0;
    for (const Row& row : kRows) {
        RegisterEntry& e = map[row.index];
        e.RegName = QString::fromLatin1(row.name);
        e.RegAddress = row.address;
        e.RegByteCount = row.bytes;
        e.RegBitWidth = row.bits;
        e.RegSigned = row.isSigned;
        e.RegScale = row.scale;
        e.RegOffset = row.offset;
        e.RegReadable = row.readable;
        e.RegWritable = row.writable;
        e.RegHasNewData = row.newData;
        e.RegHasError = row.error;
        last = std::max(last, row.index);
    }
    return last;
}

namespace {
struct BuiltMap {
    RegisterMap map;
    std::int16_t last = FillRegisterMap(map);
};
const BuiltMap& builtMap()
{
    static const BuiltMap built;
    return built;
}
} // namespace

const RegisterMap& SensorRegisterMap()
{
    return builtMap().map;
}

std::int16_t SensorLastRegisterIndex()
{
    return builtMap().last;
}

int FindRegisterIndex(const RegisterMap& map, std::int16_t lastIndex, const QString& name)
{
    for (int i = 0; i <= lastIndex && i < RegisterSlotCount; ++i) {
        if (map[i].RegName == name)
            return i;
    }
    return -1;
}

} // namespace gyro
