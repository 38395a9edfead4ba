#include "EzUsbLayout.h"

#include <algorithm>

namespace gyro {

namespace {
constexpr QLatin1StringView NamePrefix{"Ezusb-"};
}

int EzUsbSlotOfName(const QString& deviceName)
{
    if (deviceName.size() != NamePrefix.size() + 1 || !deviceName.startsWith(NamePrefix))
        return -1;
    const int slot = deviceName.back().unicode() - u'0';
    return slot >= 0 && slot < EzUsbDeviceSlots ? slot : -1;
}

QString EzUsbDeviceName(int slot)
{
    return NamePrefix + QString::number(slot);
}

bool BuildEzUsbPipeTable(std::span<const EzUsbPipe> pipes, std::uint8_t interfaceNumber,
                         std::uint8_t alternateSetting, std::span<std::uint8_t> table)
{
    if (table.size() < EzUsbPipeTableSize)
        return false;
    const std::size_t count = std::min(pipes.size(), EzUsbMaxPipes);
    std::fill(table.begin(), table.begin() + EzUsbPipeTableSize, std::uint8_t{0});
    PutLe16(table, static_cast<std::uint16_t>(EzUsbPipeTableHeaderSize + count * EzUsbPipeEntrySize));
    table[2] = interfaceNumber;
    table[3] = alternateSetting;
    PutLe32(table.subspan(12), static_cast<std::uint32_t>(count));
    for (std::size_t p = 0; p < count; ++p) {
        const EzUsbPipe& pipe = pipes[p];
        const auto entry =
            table.subspan(EzUsbPipeTableHeaderSize + p * EzUsbPipeEntrySize, EzUsbPipeEntrySize);
        PutLe16(entry, pipe.maxPacketSize);
        entry[2] = pipe.endpointAddress;
        entry[3] = pipe.interval;
        PutLe32(entry.subspan(4), static_cast<std::uint32_t>(pipe.type));
        PutLe32(entry.subspan(8), static_cast<std::uint32_t>(p + 1));
        PutLe32(entry.subspan(12), EzUsbMaxTransferSize);
    }
    return true;
}

std::optional<std::uint32_t> EzUsbPipeOfTransferInput(std::span<const std::uint8_t> input)
{
    if (input.size() < 4)
        return std::nullopt;
    return static_cast<std::uint32_t>(input[0]) | (static_cast<std::uint32_t>(input[1]) << 8) |
           (static_cast<std::uint32_t>(input[2]) << 16) | (static_cast<std::uint32_t>(input[3]) << 24);
}

std::size_t CopyUsbDescriptor(std::span<const std::uint8_t> descriptor, std::span<std::uint8_t> out)
{
    if (descriptor.empty())
        return 0;
    const std::size_t count = std::min({out.size(), descriptor.size(), std::size_t{descriptor[0]}});
    std::copy_n(descriptor.begin(), count, out.begin());
    return count;
}

} // namespace gyro
