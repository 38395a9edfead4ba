#include "SensorRegisters.h"

#include <array>

namespace gyro::sim {

namespace {

using K = RegisterKind;
namespace A = SensorAddress;

// Every mapped word. Write masks follow each register's width; one-byte registers
// (Smpl_Prd, Pwr_Mde, Command) ignore their high byte. Msc_Ctrl keeps only its
// low byte in flash: self-test never survives a power cycle.
constexpr std::array<RegisterLayout, 22> mappedRegisters{{
    {A::Endurance, K::Counter, 0x0000, 0x0000, 0x0000},
    {A::Supply_Out, K::Output, 0x0000, 0x0000, 0x0000},
    {A::Gyro_Out, K::Output, 0x0000, 0x0000, 0x0000},
    {A::Aux_ADC, K::Output, 0x0000, 0x0000, 0x0000},
    {A::Temp_Out, K::Output, 0x0000, 0x0000, 0x0000},
    {A::ANGL_OUT, K::Output, 0x3FFF, 0x0000, 0x0000},
    {A::GYRO_OFST, K::Control, 0x0FFF, 0x0FFF, 0x0000},
    {A::GYRO_SCALE, K::Control, 0x0FFF, 0x0FFF, GyroScaleUnity},
    {A::Trim, K::Control, 0xFFFF, 0xFFFF, 0x0000},
    {A::Alm_Mag1, K::Control, 0xFFFF, 0xFFFF, 0x0000},
    {A::Alm_Mag2, K::Control, 0xFFFF, 0xFFFF, 0x0000},
    {A::Alm_Smpl1, K::Control, 0x00FF, 0x00FF, 0x0000},
    {A::Alm_Smpl2, K::Control, 0x00FF, 0x00FF, 0x0000},
    {A::Alm_Ctrl, K::Control, 0xFFFF, 0xFFFF, 0x0000},
    {A::Aux_DAC, K::Control, 0x0FFF, 0x0FFF, 0x0000},
    {A::Gpio_Ctrl, K::Control, 0x03FF, 0x03FF, 0x0000},
    {A::Msc_Ctrl, K::Control, 0x0FFF, 0x00FF, 0x0000},
    {A::Smpl_Prd, K::Control, 0x00FF, 0x00FF, 0x0001},
    {A::Sens_Avg, K::Control, 0x07FF, 0x07FF, 0x0402},
    {A::Pwr_Mde, K::Control, 0x00FF, 0x0000, 0x0000},
    {A::Status, K::Status, 0x0000, 0x0000, 0x0000},
    {A::Command, K::Command, 0x00FF, 0x0000, 0x0000},
}};

using LayoutTable = std::array<RegisterLayout, SensorWordCount>;

constexpr LayoutTable buildTable()
{
    LayoutTable table{};
    for (int i = 0; i < SensorWordCount; ++i)
        table[static_cast<std::size_t>(i)].address = 2 * i;
    for (const RegisterLayout& r : mappedRegisters)
        table[static_cast<std::size_t>(wordIndexOf(r.address))] = r;
    return table;
}

constexpr LayoutTable layoutTable = buildTable();

} // namespace

const RegisterLayout& layoutOf(int address)
{
    return layoutTable[static_cast<std::size_t>(wordIndexOf(address))];
}

double samplePeriodSeconds(std::uint16_t smplPrd)
{
    const int value = smplPrd & 0xFF;
    if (value == 0)
        return 1.0 / 2048.0;
    const double base = (value & 0x80) != 0 ? 0.06054 : 0.001953;
    return base * ((value & 0x7F) + 1);
}

RateRange rateRangeOf(std::uint16_t sensAvg)
{
    const int code = (sensAvg >> 8) & 0x7;
    if ((code & 4) != 0 || code == 0)
        return {320.0, 0.07326};
    if ((code & 2) != 0)
        return {160.0, 0.03663};
    return {80.0, 0.018315};
}

int filterTapsOf(std::uint16_t sensAvg)
{
    return 2 * (1 << (sensAvg & 0x7)) + 1;
}

} // namespace gyro::sim
