#include "RegisterAccess.h"

#include "HexText.h"
#include "ParallelSpi.h"
#include "Timing.h"
#include "UsbSpiDrivers.h"

#include <stdexcept>
#include <string>

namespace gyro {

namespace {

constexpr std::int16_t InterfaceParallel = 1;
constexpr std::int16_t InterfaceUsb = 2;

const RegisterEntry& entryAt(const GyroState& g, int index)
{
    if (index < 0 || index >= RegisterSlotCount)
        throw std::out_of_range("register index " + std::to_string(index) + " is outside 0..296");
    return g.Reg[static_cast<std::size_t>(index)];
}

// Both words go out in one transfer on chip-select channel 1, the sensor's.
bool usbTwoWordTransfer(GyroState& g, std::int32_t first, std::int32_t second)
{
    g.UsbTxWords[1] = first;
    g.UsbTxWords[2] = second;
    g.UsbSpiChannel = 1;
    return UsbTransfer(g, 2);
}

} // namespace

void ClearReadResults(GyroState& g)
{
    g.RegWord = 0;
    g.RegHighByte = 0;
    g.RegLowByte = 0;
    g.RegNewData = 0;
    g.RegErrorFlag = 0;
    g.RegValue = 0.0f;
}

void StoreReadResults(GyroState& g, const RegisterEntry& e, std::int32_t raw)
{
    g.RegHighByte = static_cast<std::int16_t>(raw / 256);
    g.RegLowByte = static_cast<std::int16_t>(raw & 0xFF);
    if (e.RegHasNewData)
        g.RegNewData = raw & static_cast<std::int32_t>(0xFFFF8000u);
    if (e.RegHasError)
        g.RegErrorFlag = raw & 0x4000;
    const int width = e.RegBitWidth;
    if (e.RegSigned) {
        // Drop the bits above the width and give the top valid bit the weight -h.
        const std::int32_t h = std::int32_t{1} << (width - 1);
        g.RegWord = (raw & (h - 1)) - (raw & h);
    } else {
        g.RegWord = raw & static_cast<std::int32_t>((std::int64_t{1} << width) - 1);
    }
    g.RegValue = static_cast<float>(g.RegWord) * e.RegScale + e.RegOffset;
}

bool ReadRegister(GyroState& g, int index)
{
    const RegisterEntry& e = entryAt(g, index);
    if (!e.RegReadable)
        return false; // a write-only register is not read: no traffic, results as they were
    const std::optional<std::int32_t> answer = SpiReadWord(g, e.RegAddress);
    g.RegReadFailed = !answer;
    if (!answer) {
        ClearReadResults(g);
        return false;
    }
    StoreReadResults(g, e, *answer);
    return true;
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
    const std::int32_t frame = (address & 0x7F) * 256;
    switch (g.InterfaceType) {
    case InterfaceUsb:
        // The same read frame twice: the answer to the second is the register.
        if (!usbTwoWordTransfer(g, frame, frame))
            return std::nullopt;
        return g.UsbRxWords[2];
    case InterfaceParallel:
        if (!PortSpiReady(g))
            return std::nullopt;
        return PortSpiRead(g, address);
    default:
        return std::nullopt;
    }
}

bool SpiWriteBytes(GyroState& g, std::int32_t addressA, std::int32_t dataA, std::int32_t addressB,
                   std::int32_t dataB)
{
    const std::int32_t frameA = 0x8000 + (addressA & 0x7F) * 256 + (dataA & 0xFF);
    const std::int32_t frameB = 0x8000 + (addressB & 0x7F) * 256 + (dataB & 0xFF);
    switch (g.InterfaceType) {
    case InterfaceUsb:
        return usbTwoWordTransfer(g, frameA, frameB);
    case InterfaceParallel:
        if (!PortSpiReady(g))
            return false;
        PortSpiWrite(g, frameA);
        PortSpiWrite(g, frameB);
        return true;
    default:
        return false;
    }
}

bool ReadControlRegisters(GyroState& g)
{
    bool allRead = true;
    const auto readInto = [&](int index, std::int32_t& shadow) {
        if (ReadRegister(g, index))
            shadow = g.RegWord;
        else
            allRead = false;
    };
    readInto(Idx_Gpio_Ctrl, g.GpioCtrlShadow);
    readInto(Idx_Alm_Ctrl, g.AlmCtrlShadow);
    readInto(Idx_Msc_Ctrl, g.MscCtrlShadow);
    return allRead;
}

bool SetGyroScale(GyroState& g)
{
    if (!ReadRegister(g, Idx_Sens_Avg))
        return false;
    const std::int32_t bits = g.RegWord & 0x700;
    float& scale = g.Reg[Idx_Gyro_Out].RegScale;
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
        g.ui.message(
            QStringLiteral("Error\r\nReading Sens_Avg register\r\nsub SetGyroScale\r\nAvgBits = %1\r\n"
                           "Only values of 1024, 512, and 256 are valid\r\n")
                .arg(bits),
            MsgButtons::Ok, MsgIcon::Critical, g.AppTitle);
        return false;
    }
    return true;
}

} // namespace gyro
