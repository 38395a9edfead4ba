#include "LibUsbDriver.h"

#include "LibUsbMapping.h"

#include <QtGlobal>
#include <algorithm>
#include <libusb.h>

namespace gyro {

namespace {

// Port paths are at most seven hubs deep.
constexpr int MaxPortDepth = 7;

UsbDeviceLocation locationOf(libusb_device* device)
{
    UsbDeviceLocation location;
    location.bus = libusb_get_bus_number(device);
    location.address = libusb_get_device_address(device);
    std::array<std::uint8_t, MaxPortDepth> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), MaxPortDepth);
    if (depth > 0)
        location.portPath.assign(ports.begin(), ports.begin() + depth);
    return location;
}

} // namespace

LibUsbDriver::LibUsbDriver()
{
    if (const int error = libusb_init(&context_); error != 0) {
        qWarning("USB cards are unavailable: libusb could not start (%s)", libusb_error_name(error));
        context_ = nullptr;
    }
}

LibUsbDriver::~LibUsbDriver()
{
    for (Card& card : cards_) {
        drop(card);
        libusb_unref_device(card.device);
    }
    if (context_ != nullptr)
        libusb_exit(context_);
}

void LibUsbDriver::enumerate()
{
    listStale_ = false;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    std::vector<libusb_device*> found;
    std::vector<UsbDeviceLocation> locations;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == 0 && descriptor.idVendor == CardVendorId) {
            found.push_back(list[i]);
            locations.push_back(locationOf(list[i]));
        }
    }

    // A card that is still attached keeps its state (and its open handle).
    std::vector<Card> cards;
    for (const std::size_t index : OrderCardLocations(locations)) {
        if (cards.size() == static_cast<std::size_t>(EzUsbDeviceSlots))
            break;
        libusb_device* device = found[index];
        const auto kept = std::find_if(cards_.begin(), cards_.end(),
                                       [device](const Card& c) { return c.device == device; });
        if (kept != cards_.end()) {
            cards.push_back(std::move(*kept));
            kept->device = nullptr;
            continue;
        }
        Card card;
        card.device = libusb_ref_device(device);
        libusb_device_descriptor descriptor{};
        libusb_get_device_descriptor(device, &descriptor);
        card.descriptor = DeviceDescriptorBytes(descriptor);
        cards.push_back(std::move(card));
    }
    for (Card& gone : cards_) {
        if (gone.device == nullptr)
            continue;
        drop(gone);
        libusb_unref_device(gone.device);
    }
    cards_ = std::move(cards);
    if (list != nullptr)
        libusb_free_device_list(list, 1);
}

bool LibUsbDriver::ensureOpen(Card& card, const QString& deviceName)
{
    if (card.handle != nullptr)
        return true;
    const auto refuse = [&](CardOpenStep step, int error) {
        lastOpenFailure_ = CardOpenFailureText(deviceName, step, error);
        return false;
    };
    libusb_device_handle* handle = nullptr;
    if (const int error = libusb_open(card.device, &handle); error != 0) {
        listStale_ = true;
        return refuse(CardOpenStep::Open, error);
    }
    libusb_set_auto_detach_kernel_driver(handle, 1); // not supported everywhere; harmless then

    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(card.device, &config) != 0 &&
        libusb_get_config_descriptor(card.device, 0, &config) != 0) {
        libusb_close(handle);
        return false;
    }
    const bool hasInterface = config->bNumInterfaces > 0;
    if (hasInterface) {
        const libusb_interface& iface = config->interface[0];
        card.altSetting = ChooseAltSetting(iface);
        const libusb_interface_descriptor& setting = iface.altsetting[card.altSetting];
        card.interfaceNumber = setting.bInterfaceNumber;
        card.pipes = PipesOfInterface(setting);
    }
    libusb_free_config_descriptor(config);
    if (!hasInterface) {
        libusb_close(handle);
        return false;
    }
    if (const int error = libusb_claim_interface(handle, card.interfaceNumber); error != 0) {
        libusb_close(handle);
        return refuse(CardOpenStep::Claim, error);
    }
    if (card.altSetting != 0) {
        if (const int error = libusb_set_interface_alt_setting(handle, card.interfaceNumber, card.altSetting);
            error != 0) {
            libusb_release_interface(handle, card.interfaceNumber);
            libusb_close(handle);
            return refuse(CardOpenStep::AltSetting, error);
        }
    }
    card.handle = handle;
    card.session = nextSession_++;
    card.languageId = -1;
    return true;
}

void LibUsbDriver::drop(Card& card)
{
    if (card.handle == nullptr)
        return;
    libusb_release_interface(card.handle, card.interfaceNumber);
    libusb_close(card.handle);
    card.handle = nullptr;
    card.session = 0;
}

EzUsbDriver::Handle LibUsbDriver::open(const QString& deviceName)
{
    lastOpenFailure_.clear();
    const int slot = EzUsbSlotOfName(deviceName);
    if (slot < 0 || context_ == nullptr)
        return 0;
    const auto index = static_cast<std::size_t>(slot);
    if (listStale_ || index >= cards_.size())
        enumerate();
    if (index >= cards_.size() || !ensureOpen(cards_[index], deviceName))
        return 0;
    const Handle handle = nextHandle_++;
    opened_.push_back({handle, index, cards_[index].session});
    return handle;
}

void LibUsbDriver::close(Handle handle)
{
    // The device stays open beneath: the next operation's open costs nothing.
    std::erase_if(opened_, [handle](const Opened& o) { return o.handle == handle; });
}

LibUsbDriver::Card* LibUsbDriver::cardOf(Handle handle)
{
    const auto it = std::find_if(opened_.begin(), opened_.end(),
                                 [handle](const Opened& o) { return o.handle == handle; });
    if (it == opened_.end() || it->slot >= cards_.size())
        return nullptr;
    Card& card = cards_[it->slot];
    return card.handle != nullptr && card.session == it->session ? &card : nullptr;
}

bool LibUsbDriver::failed(Card& card, int error, std::uint8_t endpoint)
{
    if (LibUsbErrorDropsDevice(error)) {
        drop(card);
        listStale_ = true;
    } else if (error == LIBUSB_ERROR_PIPE && endpoint != 0) {
        libusb_clear_halt(card.handle, endpoint);
    }
    return false;
}

bool LibUsbDriver::ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                             std::span<std::uint8_t> output, std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    Card* card = cardOf(handle);
    if (card == nullptr)
        return false;
    switch (code) {
    case IoctlGetDeviceDescriptor:
        if (output.size() < card->descriptor.size())
            return false;
        std::copy(card->descriptor.begin(), card->descriptor.end(), output.begin());
        bytesReturned = static_cast<std::uint32_t>(card->descriptor.size());
        return true;
    case IoctlGetStringDescriptor:
        return stringDescriptor(*card, input, output, bytesReturned);
    case IoctlGetPipeInfo:
        if (!BuildEzUsbPipeTable(card->pipes, static_cast<std::uint8_t>(card->interfaceNumber),
                                 static_cast<std::uint8_t>(card->altSetting), output))
            return false;
        bytesReturned = static_cast<std::uint32_t>(EzUsbPipeTableSize);
        return true;
    case IoctlPipeTransfer:
        return pipeTransfer(*card, input, output, bytesReturned);
    default:
        return false;
    }
}

bool LibUsbDriver::stringDescriptor(Card& card, std::span<const std::uint8_t> input,
                                    std::span<std::uint8_t> output, std::uint32_t& returned)
{
    if (input.empty())
        return false;
    std::array<std::uint8_t, 255> raw{};
    const auto ask = [&](std::uint8_t index, std::uint16_t language) {
        return libusb_get_string_descriptor(card.handle, index, language, raw.data(),
                                            static_cast<int>(raw.size()));
    };
    const std::uint8_t index = input[0];
    if (index != 0 && card.languageId < 0) {
        const int length = ask(0, 0);
        if (length < 0)
            return failed(card, length);
        card.languageId = FirstLanguageId(raw.data(), length);
    }
    const int length = ask(index, index == 0 ? 0 : static_cast<std::uint16_t>(card.languageId));
    if (length < 0)
        return failed(card, length);
    returned = static_cast<std::uint32_t>(
        CopyUsbDescriptor(std::span(raw).first(static_cast<std::size_t>(length)), output));
    return true;
}

bool LibUsbDriver::pipeTransfer(Card& card, std::span<const std::uint8_t> input,
                                std::span<std::uint8_t> output, std::uint32_t& returned)
{
    const auto pipe = EzUsbPipeOfTransferInput(input);
    if (!pipe || *pipe >= card.pipes.size())
        return false;
    const EzUsbPipe& endpoint = card.pipes[*pipe];
    // The endpoint's address gives the direction: an IN pipe fills `output`, an OUT
    // pipe sends it.
    int transferred = 0;
    const auto length = static_cast<int>(output.size());
    int error = LIBUSB_ERROR_NOT_SUPPORTED;
    if (endpoint.type == EzUsbPipeType::Bulk)
        error = libusb_bulk_transfer(card.handle, endpoint.endpointAddress, output.data(), length,
                                     &transferred, TransferTimeoutMs);
    else if (endpoint.type == EzUsbPipeType::Interrupt)
        error = libusb_interrupt_transfer(card.handle, endpoint.endpointAddress, output.data(), length,
                                          &transferred, TransferTimeoutMs);
    if (error != 0)
        return failed(card, error, endpoint.endpointAddress);
    returned = static_cast<std::uint32_t>(transferred);
    return true;
}

} // namespace gyro
