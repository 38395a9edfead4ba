#include "UsbSpiDrivers.h"

#include "EzUsb.h"
#include "SpiTrace.h"

#include <algorithm>
#include <array>

namespace gyro {

namespace {

constexpr int PipeRequests = 0;
constexpr int PipeAnswers = 1;

constexpr std::uint8_t FirstChannel = 1;
constexpr std::uint8_t LastChannel = 5;
constexpr std::uint8_t SpiBitsMask = 0x78; // bits 6..3: the static chip-select bits

// Command, channel, count and up to 16 words; the card's request buffer.
constexpr std::size_t RequestBufferSize = 41;

// A failed request: the card stays not ready until the next search.
Failure fail(GyroState& g, const char* operation, const char* text)
{
    g.UsbCardReady = false;
    return Failure{QString::fromLatin1(operation), QString::fromLatin1(text), {}, g.AppTitle};
}

// The card failed earlier (and was told then) or none was chosen.
Failure notReady()
{
    Failure failure{QStringLiteral("USB card"), QStringLiteral("USB card not ready"), {}, {}};
    failure.toldBefore = true;
    return failure;
}

bool send(GyroState& g, const ScopedUsbDevice& device, std::span<std::uint8_t> request)
{
    std::int32_t length = static_cast<std::int32_t>(request.size());
    return UsbPipeTransfer(g, device.handle(), PipeRequests, request, length) == 1;
}

// Reads exactly `answer.size()` bytes; a short answer counts as a failed read, since
// the rest of the buffer would hold bytes the card never sent.
bool receive(GyroState& g, const ScopedUsbDevice& device, std::span<std::uint8_t> answer)
{
    const auto wanted = static_cast<std::int32_t>(answer.size());
    std::int32_t length = wanted;
    return UsbPipeTransfer(g, device.handle(), PipeAnswers, answer, length) == 1 && length == wanted;
}

// Sends a two-byte setting command; no answer.
Outcome sendSetting(GyroState& g, std::uint8_t command, std::uint8_t value, const char* failure)
{
    const ScopedUsbDevice device(g, g.SelectedUsbBoard.DeviceName);
    std::array<std::uint8_t, 2> request{command, value};
    if (!send(g, device, request))
        return fail(g, "USB card setting", failure);
    return {};
}

} // namespace

Outcome UsbTransfer(GyroState& g, UsbTransferWords& words, int count)
{
    if (!g.UsbCardReady)
        return notReady();
    // More words fit neither the word arrays nor the card's request buffer.
    if (count < 1 || count > UsbMaxWords)
        return Failure{QStringLiteral("USB transfer"),
                       QStringLiteral("A transfer carries 1 to %1 words, not %2").arg(UsbMaxWords).arg(count),
                       {},
                       {}};
    g.UsbSpiChannel = std::clamp(g.UsbSpiChannel, FirstChannel, LastChannel);
    const auto n = static_cast<std::size_t>(count);
    words.UsbWordCount = static_cast<std::uint8_t>(count);
    const ScopedUsbDevice device(g, g.SelectedUsbBoard.DeviceName);

    std::array<std::uint8_t, RequestBufferSize> buffer{};
    buffer[0] = g.UsbSpiPolarity ? UsbCardCommand::TransferPos : UsbCardCommand::TransferNeg;
    buffer[1] = g.UsbSpiChannel;
    buffer[2] = static_cast<std::uint8_t>(count);
    for (std::size_t i = 1; i <= n; ++i) { // words big-endian: high byte first
        const std::int32_t word = words.UsbTxWords[i];
        buffer[2 * i + 1] = static_cast<std::uint8_t>((word >> 8) & 0xFF);
        buffer[2 * i + 2] = static_cast<std::uint8_t>(word & 0xFF);
    }
    if (!send(g, device, std::span(buffer).first(2 * n + 3)))
        return fail(g, "USB transfer", "Error Writing SPI");
    if (!receive(g, device, std::span(buffer).first(2 * n)))
        return fail(g, "USB transfer", "Error Reading SPI");
    for (std::size_t i = 1; i <= n; ++i)
        words.UsbRxWords[i] = buffer[2 * (i - 1)] * 256 + buffer[2 * (i - 1) + 1];
    if (g.spiTrace != nullptr) {
        for (std::size_t i = 1; i <= n; ++i)
            g.spiTrace->frame(SpiInterface::Usb, static_cast<std::uint16_t>(words.UsbTxWords[i] & 0xFFFF),
                              words.UsbRxWords[i]);
    }
    return {};
}

Outcome UsbReadSpiSetup(GyroState& g)
{
    if (!g.UsbCardReady)
        return notReady();
    g.UsbWordDelay = 0;
    const ScopedUsbDevice device(g, g.SelectedUsbBoard.DeviceName);
    std::array<std::uint8_t, 2> buffer{UsbCardCommand::ReadSetup, 0};
    if (!send(g, device, std::span(buffer).first(1))) {
        // Without the request the card has no answer for it; reading now would take an
        // older answer for the settings.
        return fail(g, "USB card setup read", "Error Setting up SPI");
    }
    if (!receive(g, device, buffer))
        return fail(g, "USB card setup read", "Error Reading SPI");
    g.UsbWordDelay = buffer[0];
    g.UsbSpiBits = buffer[1] & SpiBitsMask;
    return {};
}

Outcome UsbSetWordDelay(GyroState& g, std::uint8_t& delay)
{
    if (!g.UsbCardReady)
        return notReady();
    if (delay == 0)
        delay = 1;
    g.UsbWordDelay = delay;
    return sendSetting(g, UsbCardCommand::SetWordDelay, delay, "Error Setting up SPI");
}

Outcome UsbSetSpiBits(GyroState& g, std::uint8_t bits)
{
    if (!g.UsbCardReady)
        return notReady();
    g.UsbSpiBits = bits;
    return sendSetting(g, UsbCardCommand::SetSpiBits, bits, "Error Setting SPI Bits");
}

} // namespace gyro
