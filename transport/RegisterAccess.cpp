#include "RegisterAccess.h"

#include "HexText.h"
#include "SpiLinks.h"
#include "Timing.h"

#include <stdexcept>
#include <string>

namespace gyro {

namespace {

const RegisterEntry& entryAt(const GyroState& g, int index)
{
    if (index < 0 || index >= RegisterSlotCount)
        throw std::out_of_range("register index " + std::to_string(index) + " is outside 0..296");
    return g.Reg[static_cast<std::size_t>(index)];
}

} // namespace

RegisterReading ReadingOfAnswer(const SensorView& sensor, int index, std::int32_t raw)
{
    return DecodeReading(sensor.Reg[static_cast<std::size_t>(index)], CurrentScale(sensor, index), raw);
}

RegisterRead ReadRegister(GyroState& g, int index)
{
    const RegisterEntry& e = entryAt(g, index);
    if (!e.RegReadable)
        return NoReadingReason::NotReadable;
    const std::optional<std::int32_t> answer = SpiReadWord(g, e.RegAddress);
    if (!answer)
        return NoReadingReason::NoAnswer;
    return ReadingOfAnswer(g, index, *answer);
}

bool WriteRegister(GyroState& g, int index, std::int32_t value)
{
    const std::int32_t address = entryAt(g, index).RegAddress;
    const std::int32_t high = (value >> 8) & 0xFF;
    const std::int32_t low = value & 0xFF;
    // The high byte goes first, to the odd address; one-byte registers too.
    const bool sent = SpiWriteBytes(g, address + 1, high, address, low);
    DelayMs(g, 0.1f);
    return sent;
}

std::optional<std::int32_t> SpiReadWord(GyroState& g, std::int32_t address)
{
    return CurrentLink(g).readWord(address);
}

bool SpiWriteBytes(GyroState& g, std::int32_t addressA, std::int32_t dataA, std::int32_t addressB,
                   std::int32_t dataB)
{
    return CurrentLink(g).writeFrames(WriteFrame(addressA, dataA), WriteFrame(addressB, dataB));
}

bool ReadControlRegisters(GyroState& g)
{
    bool allRead = true;
    const auto readInto = [&](int index, std::int32_t& shadow) {
        if (const RegisterRead r = ReadRegister(g, index))
            shadow = r->RegWord;
        else
            allRead = false;
    };
    readInto(Idx_Gpio_Ctrl, g.GpioCtrlShadow);
    readInto(Idx_Alm_Ctrl, g.AlmCtrlShadow);
    readInto(Idx_Msc_Ctrl, g.MscCtrlShadow);
    return allRead;
}

GyroScaleSetting SetGyroScale(GyroState& g)
{
    const RegisterRead range = ReadRegister(g, Idx_Sens_Avg);
    if (!range)
        return {GyroScaleResult::NoAnswer, {}};
    const std::int32_t bits = range->RegWord & 0x700;
    float& scale = g.GyroScale;
    switch (bits) {
    case 0x400:
        scale = 0.07326f;
        break;
    case 0x200:
        scale = 0.03663f;
        break;
    case 0x100:
        scale = 0.018315f;
        break;
    default:
        return {GyroScaleResult::BadRangeBits,
                Failure{QStringLiteral("rate scale"),
                        QStringLiteral("Error\r\nReading Sens_Avg register\r\nsub SetGyroScale\r\nAvgBits = "
                                       "%1\r\nOnly values of 1024, 512, and 256 are valid\r\n")
                            .arg(bits),
                        {},
                        g.AppTitle,
                        MsgIcon::Critical}};
    }
    return {GyroScaleResult::Set, {}};
}

} // namespace gyro
