#include "SimUsbBus.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace gyro::sim {

namespace {

constexpr std::uint32_t PipeRequests = 0;
constexpr std::uint32_t PipeAnswers = 1;

constexpr std::uint8_t DescriptorTypeDevice = 1;
constexpr std::uint8_t DescriptorTypeString = 3;
constexpr std::uint16_t LanguageEnglishUs = 0x0409;
constexpr std::uint16_t FullSpeedMaxPacket = 64;

void checkSlot(int slot)
{
    if (slot < 0 || slot >= SimUsbBus::Slots)
        throw std::out_of_range("USB card slot " + std::to_string(slot) + " is outside 0..3");
}

void checkChannel(int channel)
{
    if (channel < 1 || channel > SimUsbBus::Channels)
        throw std::out_of_range("chip-select channel " + std::to_string(channel) + " is outside 1..5");
}

} // namespace

SimUsbBus::SimUsbBus()
{
    handles_.reserve(8); // opening and closing per operation then never allocates
}

void SimUsbBus::attachCard(int slot, SimUsbCardConfig config)
{
    checkSlot(slot);
    Card card;
    card.generation = nextGeneration_++;
    card.wordDelay = config.wordDelay;
    card.spiBits = config.spiBits;
    card.config = std::move(config);
    cards_[static_cast<std::size_t>(slot)] = std::move(card);
}

void SimUsbBus::detachCard(int slot)
{
    checkSlot(slot);
    cards_[static_cast<std::size_t>(slot)].reset();
}

bool SimUsbBus::hasCard(int slot) const
{
    return slot >= 0 && slot < Slots && cards_[static_cast<std::size_t>(slot)].has_value();
}

SimUsbBus::Card* SimUsbBus::cardAt(int slot)
{
    checkSlot(slot);
    auto& card = cards_[static_cast<std::size_t>(slot)];
    if (!card)
        throw std::logic_error("no USB card in slot " + std::to_string(slot));
    return &*card;
}

const SimUsbBus::Card* SimUsbBus::cardAt(int slot) const
{
    return const_cast<SimUsbBus*>(this)->cardAt(slot);
}

void SimUsbBus::connectChannel(int channel, SpiDevice* device)
{
    checkChannel(channel);
    busChannels_[static_cast<std::size_t>(channel)] = device;
}

void SimUsbBus::connectChannel(int slot, int channel, SpiDevice* device)
{
    checkChannel(channel);
    cardAt(slot)->channels[static_cast<std::size_t>(channel)] = device;
}

SpiDevice* SimUsbBus::deviceOn(const Card& card, int channel) const
{
    if (channel < 1 || channel > Channels)
        return nullptr;
    const auto c = static_cast<std::size_t>(channel);
    return card.channels[c] != nullptr ? card.channels[c] : busChannels_[c];
}

void SimUsbBus::failRequests(int slot, std::uint32_t ioctlCode)
{
    cardAt(slot)->failingCodes.push_back(ioctlCode);
}

void SimUsbBus::failVersionRequest(int slot)
{
    cardAt(slot)->failVersion = true;
}

void SimUsbBus::failPipe(int slot, std::uint32_t pipe)
{
    cardAt(slot)->failingPipes.push_back(pipe);
}

void SimUsbBus::setAnswering(int slot, bool answering)
{
    cardAt(slot)->answering = answering;
}

void SimUsbBus::clearFaults(int slot)
{
    Card* card = cardAt(slot);
    card->failingCodes.clear();
    card->failingPipes.clear();
    card->failVersion = false;
    card->answering = true;
    card->transfersUntilStop.reset();
    card->transfersUntilUnplug.reset();
}

void SimUsbBus::stopAnsweringAfter(int slot, int transfers)
{
    cardAt(slot)->transfersUntilStop = std::max(transfers, 0);
}

void SimUsbBus::unplugAfter(int slot, int transfers, int failedOpens)
{
    Card* card = cardAt(slot);
    card->transfersUntilUnplug = std::max(transfers, 0);
    card->failedOpensWhileUnplugged = std::max(failedOpens, 0);
}

bool SimUsbBus::transferAllowed(Card& card, int slot)
{
    if (card.transfersUntilStop && (*card.transfersUntilStop)-- == 0) {
        card.transfersUntilStop.reset();
        card.answering = false;
        return false;
    }
    if (card.transfersUntilUnplug && (*card.transfersUntilUnplug)-- == 0) {
        unplugged_[static_cast<std::size_t>(slot)] =
            Unplugged{card.config, card.channels, card.failedOpensWhileUnplugged};
        unplugNow_ = slot; // the card object must outlive this request
        return false;
    }
    return true;
}

void SimUsbBus::replugWhenDue(int slot)
{
    auto& waiting = unplugged_[static_cast<std::size_t>(slot)];
    if (!waiting || cards_[static_cast<std::size_t>(slot)])
        return;
    if (waiting->failedOpensLeft > 0) {
        --waiting->failedOpensLeft;
        return;
    }
    const Unplugged back = *waiting;
    waiting.reset();
    attachCard(slot, back.config);
    cards_[static_cast<std::size_t>(slot)]->channels = back.channels;
}

void SimUsbBus::setRequestLog(bool on, std::size_t limit)
{
    logRequests_ = on;
    logLimit_ = std::max<std::size_t>(limit, 1);
    while (requests_.size() > logLimit_)
        requests_.pop_front();
}

std::uint8_t SimUsbBus::wordDelay(int slot) const
{
    return cardAt(slot)->wordDelay;
}

std::uint8_t SimUsbBus::spiBits(int slot) const
{
    return cardAt(slot)->spiBits;
}

int SimUsbBus::openCount(int slot) const
{
    checkSlot(slot);
    return opens_[static_cast<std::size_t>(slot)];
}

int SimUsbBus::closeCount(int slot) const
{
    checkSlot(slot);
    return closes_[static_cast<std::size_t>(slot)];
}

EzUsbDriver::Handle SimUsbBus::open(const QString& deviceName)
{
    const int slot = EzUsbSlotOfName(deviceName);
    if (slot >= 0)
        replugWhenDue(slot);
    if (slot < 0 || !cards_[static_cast<std::size_t>(slot)])
        return 0;
    const Handle handle = nextHandle_++;
    handles_.push_back({handle, slot, cards_[static_cast<std::size_t>(slot)]->generation});
    ++opens_[static_cast<std::size_t>(slot)];
    return handle;
}

void SimUsbBus::close(Handle handle)
{
    const OpenHandle* opened = findHandle(handle);
    if (opened == nullptr)
        return;
    ++closes_[static_cast<std::size_t>(opened->slot)];
    handles_[static_cast<std::size_t>(opened - handles_.data())] = handles_.back();
    handles_.pop_back();
}

const SimUsbBus::OpenHandle* SimUsbBus::findHandle(Handle handle) const
{
    const auto it = std::find_if(handles_.begin(), handles_.end(),
                                 [handle](const OpenHandle& h) { return h.handle == handle; });
    return it != handles_.end() ? &*it : nullptr;
}

SimUsbBus::Card* SimUsbBus::cardOf(const OpenHandle& opened)
{
    auto& card = cards_[static_cast<std::size_t>(opened.slot)];
    // A handle to a card that was unplugged (and perhaps replaced) reaches nothing.
    return card && card->generation == opened.generation ? &*card : nullptr;
}

bool SimUsbBus::ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                          std::span<std::uint8_t> output, std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    const OpenHandle* opened = findHandle(handle);
    Card* card = opened != nullptr ? cardOf(*opened) : nullptr;
    bool ok =
        card != nullptr && card->answering &&
        std::find(card->failingCodes.begin(), card->failingCodes.end(), code) == card->failingCodes.end();
    if (ok) {
        switch (code) {
        case IoctlGetPipeInfo:
            ok = pipeTable(*card, output, bytesReturned);
            break;
        case IoctlGetDeviceDescriptor:
            ok = deviceDescriptor(*card, output, bytesReturned);
            break;
        case IoctlGetStringDescriptor:
            ok = stringDescriptor(*card, input, output, bytesReturned);
            break;
        case IoctlPipeTransfer:
            ok = pipeTransfer(*card, opened->slot, input, output, bytesReturned);
            break;
        default:
            ok = false;
            break;
        }
    }
    if (!ok) {
        bytesReturned = 0;
        ++failedRequests_;
    }
    if (unplugNow_ >= 0) {
        cards_[static_cast<std::size_t>(unplugNow_)].reset();
        unplugNow_ = -1;
    }
    return ok;
}

bool SimUsbBus::deviceDescriptor(const Card& card, std::span<std::uint8_t> output,
                                 std::uint32_t& returned) const
{
    if (output.size() < UsbDeviceDescriptorSize)
        return false;
    const SimUsbCardConfig& c = card.config;
    const auto bytes = output.first(UsbDeviceDescriptorSize);
    bytes[0] = static_cast<std::uint8_t>(UsbDeviceDescriptorSize);
    bytes[1] = DescriptorTypeDevice;
    PutLe16(bytes.subspan(2), c.pipe3MaxPacket > FullSpeedMaxPacket ? 0x0200 : 0x0110); // USB release
    bytes[4] = 0xFF; // class, subclass, protocol: vendor specific
    bytes[5] = 0xFF;
    bytes[6] = 0xFF;
    bytes[7] = 64; // control endpoint's packet size
    PutLe16(bytes.subspan(8), c.vendorId);
    PutLe16(bytes.subspan(10), c.productId);
    PutLe16(bytes.subspan(12), static_cast<std::uint16_t>((c.firmwareMajor << 8) | c.firmwareMinor));
    bytes[14] = 1; // manufacturer text: string 1
    bytes[15] = 2; // product text: string 2
    bytes[16] = 0; // no serial number
    bytes[17] = 1; // one configuration
    returned = static_cast<std::uint32_t>(UsbDeviceDescriptorSize);
    return true;
}

bool SimUsbBus::stringDescriptor(const Card& card, std::span<const std::uint8_t> input,
                                 std::span<std::uint8_t> output, std::uint32_t& returned) const
{
    if (input.empty())
        return false;
    std::array<std::uint8_t, 256> descriptor{};
    descriptor[1] = DescriptorTypeString;
    std::size_t length = 2;
    switch (input[0]) {
    case 0:
        PutLe16(std::span(descriptor).subspan(2), LanguageEnglishUs);
        length = 4;
        break;
    case 1:
    case 2: {
        const QString& text = input[0] == 1 ? card.config.descriptor1 : card.config.descriptor2;
        // A descriptor's length is one byte: at most 126 characters fit.
        const std::size_t chars = std::min<std::size_t>(static_cast<std::size_t>(text.size()), 126);
        for (std::size_t i = 0; i < chars; ++i)
            PutLe16(std::span(descriptor).subspan(2 + 2 * i), text[static_cast<qsizetype>(i)].unicode());
        length = 2 + 2 * chars;
        break;
    }
    default:
        return false; // the card has no such string
    }
    descriptor[0] = static_cast<std::uint8_t>(length);
    returned = static_cast<std::uint32_t>(CopyUsbDescriptor(std::span(descriptor).first(length), output));
    return true;
}

bool SimUsbBus::pipeTable(const Card& card, std::span<std::uint8_t> output, std::uint32_t& returned) const
{
    const std::uint16_t packet = card.config.pipe3MaxPacket;
    const std::array<EzUsbPipe, 4> pipes{{
        {packet, 0x02, 0, EzUsbPipeType::Bulk},
        {packet, 0x86, 0, EzUsbPipeType::Bulk},
        {packet, 0x04, 0, EzUsbPipeType::Bulk},
        {packet, 0x88, 0, EzUsbPipeType::Bulk},
    }};
    if (!BuildEzUsbPipeTable(pipes, 0, 0, output))
        return false;
    returned = static_cast<std::uint32_t>(EzUsbPipeTableSize);
    return true;
}

bool SimUsbBus::pipeTransfer(Card& card, int slot, std::span<const std::uint8_t> input,
                             std::span<std::uint8_t> output, std::uint32_t& returned)
{
    const auto pipe = EzUsbPipeOfTransferInput(input);
    if (!pipe ||
        std::find(card.failingPipes.begin(), card.failingPipes.end(), *pipe) != card.failingPipes.end())
        return false;
    switch (*pipe) {
    case PipeRequests:
        if (!request(card, slot, output))
            return false;
        returned = static_cast<std::uint32_t>(output.size());
        completeAtFrameBoundary(card);
        return true;
    case PipeAnswers:
        if (!answer(card, output, returned))
            return false;
        completeAtFrameBoundary(card);
        return true;
    default:
        return false; // the other pipes carry nothing in this card's protocol
    }
}

double SimUsbBus::busFrameSeconds(const SimUsbCardConfig& config)
{
    return config.pipe3MaxPacket > FullSpeedMaxPacket ? 125e-6 : 1e-3;
}

// The host controller schedules bulk transactions frame by frame: one that is
// handed over mid-frame is done when the next frame begins.
void SimUsbBus::completeAtFrameBoundary(const Card& card)
{
    if (busClock_ == nullptr)
        return;
    const double frame = busFrameSeconds(card.config);
    const double boundary = (std::floor(busClock_->monotonicSeconds() / frame) + 1.0) * frame;
    busClock_->sleepUntil(boundary);
}

bool SimUsbBus::request(Card& card, int slot, std::span<const std::uint8_t> bytes)
{
    if (!bytes.empty() && bytes[0] == UsbCardCommand::Version && card.failVersion)
        return false;
    const bool transfer = !bytes.empty() && (bytes[0] == UsbCardCommand::TransferPos ||
                                             bytes[0] == UsbCardCommand::TransferNeg);
    if (transfer && !transferAllowed(card, slot))
        return false;
    if (logRequests_) {
        if (requests_.size() >= logLimit_)
            requests_.pop_front();
        requests_.push_back({slot, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    card.answerLength = 0; // a new request replaces the answer to the one before
    if (bytes.empty())
        return true;
    switch (bytes[0]) {
    case UsbCardCommand::Version:
        card.answer[0] = card.config.firmwareMajor;
        card.answer[1] = card.config.firmwareMinor;
        card.answerLength = 2;
        break;
    case UsbCardCommand::ReadSetup:
        card.answer[0] = card.wordDelay;
        card.answer[1] = card.spiBits;
        card.answerLength = 2;
        break;
    case UsbCardCommand::SetWordDelay:
        if (bytes.size() >= 2)
            card.wordDelay = bytes[1];
        break;
    case UsbCardCommand::SetSpiBits:
        if (bytes.size() >= 2)
            card.spiBits = bytes[1];
        break;
    case UsbCardCommand::TransferPos:
    case UsbCardCommand::TransferNeg: {
        if (bytes.size() < 3)
            break;
        const std::size_t words = bytes[2];
        if (bytes.size() < 3 + 2 * words)
            break; // a cut-off request: the card waits for the rest and answers nothing
        SpiDevice* device = deviceOn(card, bytes[1]);
        if (device != nullptr)
            device->transferBegins();
        for (std::size_t i = 0; i < words; ++i) {
            const auto out = static_cast<std::uint16_t>((bytes[3 + 2 * i] << 8) | bytes[4 + 2 * i]);
            const std::uint16_t in = device != nullptr ? device->transfer(out) : FloatingWord;
            card.answer[2 * i] = static_cast<std::uint8_t>(in >> 8);
            card.answer[2 * i + 1] = static_cast<std::uint8_t>(in & 0xFF);
        }
        if (device != nullptr)
            device->transferEnds();
        card.answerLength = 2 * words;
        break;
    }
    default:
        break; // unknown commands are ignored
    }
    return true;
}

bool SimUsbBus::answer(const Card& card, std::span<std::uint8_t> output, std::uint32_t& returned) const
{
    if (card.answerLength == 0)
        return false; // nothing to send: the read times out
    const std::size_t count = std::min(output.size(), card.answerLength);
    std::copy_n(card.answer.begin(), count, output.begin());
    returned = static_cast<std::uint32_t>(count);
    return true;
}

} // namespace gyro::sim
