#include "EmulatedUsbCard.h"

#include "EzUsbLayout.h"

#include <umockdev.h>

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

namespace gyro::test {

namespace {

constexpr std::uint32_t PipeRequests = 0;
constexpr std::uint32_t PipeAnswers = 1;
constexpr std::size_t ControlSetupSize = 8;
constexpr std::uint8_t RequestGetDescriptor = 6;
constexpr std::uint8_t DescriptorTypeString = 3;
constexpr int LastChannel = 5;
constexpr std::size_t MaxWords = 16;

std::string hex(unsigned long value)
{
    std::ostringstream text;
    text << "0x" << std::hex << value;
    return text.str();
}

// The pointer-sized ioctl argument resolved into `size` bytes of the client's memory.
UMockdevIoctlData* resolveArg(UMockdevIoctlClient* client, std::size_t size)
{
    return umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, nullptr);
}

bool isTransferCommand(std::uint8_t command)
{
    return command == UsbCardCommand::TransferPos || command == UsbCardCommand::TransferNeg;
}

} // namespace

EmulatedUsbCard::EmulatedUsbCard(EmulatedCardLayout layout) : layout_(std::move(layout)), sensor_(clock_)
{
    sim::SimUsbCardConfig config;
    config.productId = layout_.productId;
    config.descriptor1 = QString::fromStdString(layout_.descriptor1);
    config.descriptor2 = QString::fromStdString(layout_.descriptor2);
    config.firmwareMajor = layout_.firmwareMajor;
    config.firmwareMinor = layout_.firmwareMinor;
    config.pipe3MaxPacket = layout_.maxPacket();
    firmware_.attachCard(0, config);
    firmware_.connectChannel(0, 1, &sensor_);
    firmware_.setRequestLog(false);
    firmwareHandle_ = firmware_.open(EzUsbDeviceName(0));
    std::array<std::uint8_t, EzUsbDeviceDescriptorBufferSize> descriptor{};
    std::uint32_t returned = 0;
    firmware_.ioControl(firmwareHandle_, EzUsbDriver::IoctlGetDeviceDescriptor, {}, descriptor, returned);
    deviceDescriptor_.assign(descriptor.begin(), descriptor.begin() + UsbDeviceDescriptorSize);

    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedUsbCard::onIoctl), this);
    g_signal_connect(handler_, "client-connected", G_CALLBACK(&EmulatedUsbCard::onConnected), this);
    g_signal_connect(handler_, "client-vanished", G_CALLBACK(&EmulatedUsbCard::onVanished), this);
}

EmulatedUsbCard::~EmulatedUsbCard()
{
    g_signal_handlers_disconnect_by_data(handler_, this);
    for (const auto* list : {&waiting_, &done_})
        for (const Urb& urb : *list)
            g_object_unref(urb.data);
    g_object_unref(handler_);
}

void EmulatedUsbCard::setFaults(const CardFaults& faults)
{
    const std::lock_guard lock(mutex_);
    faults_ = faults;
}

void EmulatedUsbCard::setPresent(bool present)
{
    const std::lock_guard lock(mutex_);
    present_ = present;
    if (present) { // plugged in again: a fresh device
        ++plugging_;
        claimed_ = false;
        altSetting_ = 0;
        outHalted_ = false;
        answerDue_ = false;
    }
}

void EmulatedUsbCard::setSensorWord(int address, std::uint16_t word)
{
    const std::lock_guard lock(mutex_);
    sensor_.setRegisterWord(address, word);
}

std::vector<std::uint16_t> EmulatedUsbCard::sensorFramesOut() const
{
    const std::lock_guard lock(mutex_);
    std::vector<std::uint16_t> frames;
    for (const auto& frame : sensor_.trace())
        frames.push_back(frame.out);
    return frames;
}

int EmulatedUsbCard::opens() const
{
    const std::lock_guard lock(mutex_);
    return opens_;
}

int EmulatedUsbCard::calls(unsigned long request) const
{
    const std::lock_guard lock(mutex_);
    const auto it = calls_.find(request);
    return it == calls_.end() ? 0 : it->second;
}

int EmulatedUsbCard::bulkUrbs() const
{
    const std::lock_guard lock(mutex_);
    return bulkUrbs_;
}

std::vector<std::vector<std::uint8_t>> EmulatedUsbCard::requests() const
{
    const std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> EmulatedUsbCard::violations() const
{
    const std::lock_guard lock(mutex_);
    return violations_;
}

int EmulatedUsbCard::altSetting() const
{
    const std::lock_guard lock(mutex_);
    return altSetting_;
}

bool EmulatedUsbCard::claimed() const
{
    const std::lock_guard lock(mutex_);
    return claimed_;
}

int EmulatedUsbCard::clearedHalts() const
{
    const std::lock_guard lock(mutex_);
    return clearedHalts_;
}

std::uint8_t EmulatedUsbCard::wordDelay() const
{
    const std::lock_guard lock(mutex_);
    return firmware_.wordDelay(0);
}

std::uint8_t EmulatedUsbCard::spiBits() const
{
    const std::lock_guard lock(mutex_);
    return firmware_.spiBits(0);
}

std::vector<double> EmulatedUsbCard::abandonedAfterSeconds() const
{
    const std::lock_guard lock(mutex_);
    return abandoned_;
}

void EmulatedUsbCard::violation(std::string text)
{
    violations_.push_back(std::move(text));
}

int EmulatedUsbCard::onIoctl(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void* self)
{
    return static_cast<EmulatedUsbCard*>(self)->handleIoctl(client) ? TRUE : FALSE;
}

void EmulatedUsbCard::onConnected(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void* self)
{
    auto* card = static_cast<EmulatedUsbCard*>(self);
    const std::lock_guard lock(card->mutex_);
    card->clients_[client] = card->plugging_;
    ++card->opens_;
}

void EmulatedUsbCard::onVanished(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void* self)
{
    auto* card = static_cast<EmulatedUsbCard*>(self);
    const std::lock_guard lock(card->mutex_);
    card->clients_.erase(client);
}

bool EmulatedUsbCard::clientCurrent(UMockdevIoctlClient* client) const
{
    const auto it = clients_.find(client);
    return it == clients_.end() || it->second == plugging_;
}

bool EmulatedUsbCard::handleIoctl(UMockdevIoctlClient* client)
{
    const std::lock_guard lock(mutex_);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    ++calls_[request];
    if (!clientCurrent(client)) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    if (!present_) {
        // Pulled out: URBs in flight end (answers already sent still arrive), then
        // every request finds no device.
        const bool reap = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY;
        if (reap)
            endInFlightUrbs();
        if (reap && !done_.empty())
            reapUrb(client);
        else
            umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    int error = 0;
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = resolveArg(client, sizeof(std::uint32_t));
        const std::uint32_t value =
            USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_ZERO_PACKET;
        std::memcpy(caps->data, &value, sizeof value);
        g_object_unref(caps);
        break;
    }
    case USBDEVFS_DISCONNECT_CLAIM: {
        UMockdevIoctlData* claim = resolveArg(client, sizeof(usbdevfs_disconnect_claim));
        claimInterface(reinterpret_cast<usbdevfs_disconnect_claim*>(claim->data)->interface, error);
        g_object_unref(claim);
        break;
    }
    case USBDEVFS_CLAIMINTERFACE: {
        UMockdevIoctlData* number = resolveArg(client, sizeof(unsigned int));
        claimInterface(*reinterpret_cast<unsigned int*>(number->data), error);
        g_object_unref(number);
        break;
    }
    case USBDEVFS_RELEASEINTERFACE:
        claimed_ = false;
        break;
    case USBDEVFS_SETINTERFACE:
        setInterface(client, error);
        break;
    case USBDEVFS_CLEAR_HALT: {
        UMockdevIoctlData* endpoint = resolveArg(client, sizeof(unsigned int));
        if (*reinterpret_cast<unsigned int*>(endpoint->data) == EndpointRequests)
            outHalted_ = false;
        ++clearedHalts_;
        g_object_unref(endpoint);
        break;
    }
    case USBDEVFS_IOCTL:
        error = driverRequest(client);
        break;
    case USBDEVFS_SUBMITURB:
        submitUrb(client);
        return true;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        reapUrb(client);
        return true;
    case USBDEVFS_DISCARDURB:
        discardUrb(client);
        return true;
    default:
        violation("unexpected ioctl " + hex(request));
        error = ENOTTY;
        break;
    }
    umockdev_ioctl_client_complete(client, error == 0 ? 0 : -1, error);
    return true;
}

int EmulatedUsbCard::driverRequest(UMockdevIoctlClient* client)
{
    // libusb hands interface 0 back to a kernel driver after releasing it (and takes it
    // from one before claiming): the card has none, so there is nothing to do.
    UMockdevIoctlData* arg = resolveArg(client, sizeof(usbdevfs_ioctl));
    const auto code = static_cast<unsigned long>(reinterpret_cast<usbdevfs_ioctl*>(arg->data)->ioctl_code);
    g_object_unref(arg);
    if (code == USBDEVFS_DISCONNECT)
        return ENODATA; // as the kernel answers when no driver is bound
    if (code == USBDEVFS_CONNECT)
        return 0;
    violation("unexpected driver request " + hex(code));
    return ENOTTY;
}

void EmulatedUsbCard::claimInterface(unsigned int number, int& error)
{
    if (number != 0) {
        violation("claim of interface " + std::to_string(number) + ", the card has only interface 0");
        error = ENOENT;
    } else if (faults_.claimedElsewhere) {
        error = EBUSY;
    } else {
        claimed_ = true;
    }
}

void EmulatedUsbCard::setInterface(UMockdevIoctlClient* client, int& error)
{
    UMockdevIoctlData* arg = resolveArg(client, sizeof(usbdevfs_setinterface));
    const auto* setting = reinterpret_cast<usbdevfs_setinterface*>(arg->data);
    if (setting->interface != 0 || static_cast<int>(setting->altsetting) >= AltSettingCount(layout_)) {
        violation("alternate setting " + std::to_string(setting->altsetting) + " of interface " +
                  std::to_string(setting->interface) + " does not exist");
        error = EINVAL;
    } else if (!claimed_) {
        violation("alternate setting chosen before the interface was claimed");
        error = EINVAL;
    } else {
        altSetting_ = static_cast<int>(setting->altsetting);
    }
    g_object_unref(arg);
}

bool EmulatedUsbCard::endpointUsable(std::uint8_t endpoint)
{
    if (!claimed_) {
        violation("transfer on endpoint " + hex(endpoint) + " before interface 0 was claimed");
        return false;
    }
    if (EndpointMaxPacket(layout_, altSetting_, endpoint) == 0) {
        violation("transfer on endpoint " + hex(endpoint) + ", which alternate setting " +
                  std::to_string(altSetting_) + " does not make usable");
        return false;
    }
    return true;
}

void EmulatedUsbCard::submitUrb(UMockdevIoctlClient* client)
{
    UMockdevIoctlData* data = resolveArg(client, sizeof(usbdevfs_urb));
    auto* header = reinterpret_cast<usbdevfs_urb*>(data->data);
    const int length = header->buffer_length;
    UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                                            static_cast<gsize>(std::max(length, 0)), nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(header->buffer);
    Urb urb{data, 0, 0, {}, 0, Clock::now()};

    bool answered = true;
    int submitError = 0;
    const bool bulk = header->type == USBDEVFS_URB_TYPE_BULK;
    bulkUrbs_ += bulk ? 1 : 0;
    if (!bulk && header->type != USBDEVFS_URB_TYPE_CONTROL) {
        violation("URB of type " + std::to_string(header->type) + " on endpoint " + hex(header->endpoint) +
                  "; the card has bulk endpoints only");
        submitError = EINVAL;
    } else if (bulk && !endpointUsable(header->endpoint)) {
        submitError = ENOENT;
    } else if (faults_.neverAnswers) {
        answered = false; // the card takes nothing in and sends nothing back
    } else if (!bulk) {
        controlTransfer(urb, bytes, length);
    } else if (header->endpoint == EndpointRequests) {
        bulkOut(urb, bytes, length);
    } else if (header->endpoint == EndpointAnswers) {
        answered = bulkIn(urb, length);
    } else {
        violation("transfer on endpoint " + hex(header->endpoint) +
                  ", which the card's protocol does not use");
        answered = false; // the firmware never serves it
    }
    g_object_unref(buffer);

    if (submitError != 0) {
        g_object_unref(data);
        umockdev_ioctl_client_complete(client, -1, submitError);
        return;
    }
    (answered ? done_ : waiting_).push_back(std::move(urb));
    umockdev_ioctl_client_complete(client, 0, 0);
}

void EmulatedUsbCard::controlTransfer(Urb& urb, const std::uint8_t* buffer, int length)
{
    urb.answerOffset = ControlSetupSize;
    if (length < static_cast<int>(ControlSetupSize)) {
        violation("control URB without its setup packet");
        urb.status = -EPIPE;
        return;
    }
    const std::uint8_t requestType = buffer[0];
    const std::uint8_t request = buffer[1];
    const std::uint8_t index = buffer[2];
    const std::uint8_t type = buffer[3];
    const auto wanted = static_cast<std::size_t>(buffer[6] | (buffer[7] << 8));
    if (requestType != 0x80 || request != RequestGetDescriptor || type != DescriptorTypeString) {
        violation("control request " + hex(requestType) + "/" + hex(request) + " the card does not answer");
        urb.status = -EPIPE; // the card stalls what it does not know
        return;
    }
    std::vector<std::uint8_t> descriptor(std::min<std::size_t>(wanted, 255));
    const std::array<std::uint8_t, 5> input{index, 0, 0, 0, 0x1B};
    std::uint32_t returned = 0;
    if (!firmware_.ioControl(firmwareHandle_, EzUsbDriver::IoctlGetStringDescriptor, input, descriptor,
                             returned)) {
        urb.status = -EPIPE;
        return;
    }
    descriptor.resize(std::min<std::size_t>(returned, static_cast<std::size_t>(length) - ControlSetupSize));
    urb.answer = std::move(descriptor);
    urb.actualLength = static_cast<int>(urb.answer.size());
}

std::size_t EmulatedUsbCard::checkedAnswerLength(const std::vector<std::uint8_t>& request)
{
    if (request.empty()) {
        violation("empty request");
        return 0;
    }
    const std::uint8_t command = request[0];
    const auto expectLength = [&](std::size_t length) {
        if (request.size() != length)
            violation("command " + std::to_string(command) + " sent with " + std::to_string(request.size()) +
                      " bytes, it takes " + std::to_string(length));
    };
    switch (command) {
    case UsbCardCommand::Version:
    case UsbCardCommand::ReadSetup:
        expectLength(1);
        return 2;
    case UsbCardCommand::SetWordDelay:
    case UsbCardCommand::SetSpiBits:
        expectLength(2);
        return 0;
    case UsbCardCommand::TransferPos:
    case UsbCardCommand::TransferNeg: {
        if (request.size() < 3) {
            violation("word transfer without channel and count");
            return 0;
        }
        const std::size_t words = request[2];
        if (request[1] < 1 || request[1] > LastChannel)
            violation("word transfer on channel " + std::to_string(request[1]));
        if (words < 1 || words > MaxWords)
            violation("word transfer of " + std::to_string(words) + " words");
        expectLength(3 + 2 * words);
        return 2 * words;
    }
    default:
        violation("unknown command " + std::to_string(command));
        return 0;
    }
}

void EmulatedUsbCard::bulkOut(Urb& urb, const std::uint8_t* buffer, int length)
{
    std::vector<std::uint8_t> request(buffer, buffer + std::max(length, 0));
    const bool transfer = !request.empty() && isTransferCommand(request[0]);
    if (outHalted_ || (transfer && faults_.stallTransferRequests)) {
        outHalted_ = true;
        urb.status = -EPIPE;
        return;
    }
    if (answerDue_)
        violation("a new request while the answer to the one before was not read");
    const std::size_t answer = checkedAnswerLength(request);
    requests_.push_back(request);
    std::uint32_t returned = 0;
    const std::array<std::uint8_t, 4> pipe{PipeRequests, 0, 0, 0};
    firmware_.ioControl(firmwareHandle_, EzUsbDriver::IoctlPipeTransfer, pipe, request, returned);
    answerDue_ = answer > 0;
    answerLength_ = answer;
    transferAnswerDue_ = transfer;
    urb.actualLength = length;
}

bool EmulatedUsbCard::bulkIn(Urb& urb, int length)
{
    if (!answerDue_) {
        violation("answer read with no request waiting for one");
        return false;
    }
    if (static_cast<std::size_t>(length) != answerLength_)
        violation("answer read with " + std::to_string(length) + " bytes, the request gives " +
                  std::to_string(answerLength_));
    answerDue_ = false;
    const bool transfer = transferAnswerDue_;
    if (transfer && faults_.loseTransferAnswers)
        return false;
    std::vector<std::uint8_t> answer(std::min<std::size_t>(answerLength_, static_cast<std::size_t>(length)));
    std::uint32_t returned = 0;
    const std::array<std::uint8_t, 4> pipe{PipeAnswers, 0, 0, 0};
    if (!firmware_.ioControl(firmwareHandle_, EzUsbDriver::IoctlPipeTransfer, pipe, answer, returned))
        return false;
    answer.resize(returned);
    if (transfer && faults_.shortTransferAnswers && !answer.empty())
        answer.pop_back();
    urb.answer = std::move(answer);
    urb.actualLength = static_cast<int>(urb.answer.size());
    if (transfer && ++answeredTransfers_ == faults_.unplugAfterTransfers)
        present_ = false; // this answer still arrives; the next request finds the card gone
    return true;
}

void EmulatedUsbCard::reapUrb(UMockdevIoctlClient* client)
{
    if (done_.empty()) {
        umockdev_ioctl_client_complete(client, -1, EAGAIN);
        return;
    }
    Urb urb = std::move(done_.front());
    done_.pop_front();
    auto* header = reinterpret_cast<usbdevfs_urb*>(urb.data->data);
    header->status = urb.status;
    header->actual_length = urb.actualLength;
    if (!urb.answer.empty())
        std::memcpy(static_cast<std::uint8_t*>(header->buffer) + urb.answerOffset, urb.answer.data(),
                    urb.answer.size());
    UMockdevIoctlData* slot = resolveArg(client, sizeof(void*));
    umockdev_ioctl_data_set_ptr(slot, 0, urb.data);
    umockdev_ioctl_client_complete(client, 0, 0);
    g_object_unref(slot);
    g_object_unref(urb.data);
}

void EmulatedUsbCard::endInFlightUrbs()
{
    for (Urb& urb : waiting_) {
        urb.status = -ESHUTDOWN;
        urb.actualLength = 0;
        urb.answer.clear();
        done_.push_back(std::move(urb));
    }
    waiting_.clear();
}

void EmulatedUsbCard::discardUrb(UMockdevIoctlClient* client)
{
    const auto address = *reinterpret_cast<gulong*>(umockdev_ioctl_client_get_arg(client)->data);
    const auto it = std::find_if(waiting_.begin(), waiting_.end(),
                                 [address](const Urb& urb) { return urb.data->client_addr == address; });
    if (it == waiting_.end()) {
        umockdev_ioctl_client_complete(client, -1, EINVAL); // already done
        return;
    }
    Urb urb = std::move(*it);
    waiting_.erase(it);
    abandoned_.push_back(std::chrono::duration<double>(Clock::now() - urb.submitted).count());
    urb.status = -ENOENT;
    urb.actualLength = 0;
    urb.answer.clear();
    done_.push_back(std::move(urb));
    umockdev_ioctl_client_complete(client, 0, 0);
}

} // namespace gyro::test
