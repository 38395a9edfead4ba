#pragma once
// The buffer layouts of the EZ-USB driver requests, shared by every backend that
// stands in for the driver: device names, the pipe table, the pipe-transfer input
// and the copying of a descriptor into a caller's buffer.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace gyro {

// Device names "Ezusb-0".."Ezusb-3".
constexpr int EzUsbDeviceSlots = 4;
// The slot of a device name, or -1 when the name is not one of the four.
int EzUsbSlotOfName(const QString& deviceName);
QString EzUsbDeviceName(int slot);

// Pipe table: a 16-byte interface header, then 17 entries of 20 bytes.
constexpr std::size_t EzUsbPipeTableSize = 356;
constexpr std::size_t EzUsbPipeTableHeaderSize = 16;
constexpr std::size_t EzUsbPipeEntrySize = 20;
constexpr std::size_t EzUsbMaxPipes = 17;
// The device-descriptor request's buffer; the descriptor itself has 18 bytes.
constexpr std::size_t EzUsbDeviceDescriptorBufferSize = 147;
constexpr std::size_t UsbDeviceDescriptorSize = 18;

// Pipe types as the table carries them (the same numbers as the USB transfer types).
enum class EzUsbPipeType : std::uint32_t { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

// One pipe as the table describes it: an endpoint of the card's interface.
struct EzUsbPipe {
    std::uint16_t maxPacketSize = 0;
    std::uint8_t endpointAddress = 0; // bit 7 set: IN (device to host)
    std::uint8_t interval = 0;
    EzUsbPipeType type = EzUsbPipeType::Bulk;

    bool isIn() const { return (endpointAddress & 0x80) != 0; }
};

// The largest transfer the table announces for every pipe.
constexpr std::uint32_t EzUsbMaxTransferSize = 4096;

// The USB SPI card's command codes: the first byte of a request on pipe 0.
namespace UsbCardCommand {
constexpr std::uint8_t Version = 0;       // answer: major, minor
constexpr std::uint8_t ReadSetup = 1;     // answer: word delay, SPI bits
constexpr std::uint8_t SetWordDelay = 11; // 0x0B, delay
constexpr std::uint8_t SetSpiBits = 12;   // 0x0C, bits
constexpr std::uint8_t TransferPos = 13;  // command, channel, n, n words; answer: n words
constexpr std::uint8_t TransferNeg = 14;  // as 13, the other data-input polarity
} // namespace UsbCardCommand

// Fills `table` (at least EzUsbPipeTableSize bytes) from the pipes in order: pipe p
// is entry p. The header carries the table's used length (16-bit, offset 0), the
// interface number (offset 2), the alternate setting (offset 3) and the pipe count
// (32-bit, offset 12). Each entry: maximum packet size (16-bit, offset 0), endpoint
// address (8-bit, 2), interval (8-bit, 3), pipe type (32-bit, 4), a pipe handle
// (p + 1, offset 8), the maximum transfer size (offset 12) and flags 0 (offset 16).
// Pipes past the 17th are left out. Returns false when the table is too small.
bool BuildEzUsbPipeTable(std::span<const EzUsbPipe> pipes, std::uint8_t interfaceNumber,
                         std::uint8_t alternateSetting, std::span<std::uint8_t> table);

// The pipe number of a pipe-transfer request: the 4-byte little-endian input.
std::optional<std::uint32_t> EzUsbPipeOfTransferInput(std::span<const std::uint8_t> input);

// Copies a descriptor (its first byte is its own length) into `out` as far as both
// reach: min(out size, descriptor bytes at hand, the length byte). Returns the count.
std::size_t CopyUsbDescriptor(std::span<const std::uint8_t> descriptor, std::span<std::uint8_t> out);

// Little-endian fields in byte buffers.
inline void PutLe16(std::span<std::uint8_t> at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void PutLe32(std::span<std::uint8_t> at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}
inline std::uint16_t GetLe16(std::span<const std::uint8_t> at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

} // namespace gyro
