#pragma once
// The EZ-USB driver requests answered by a USB SPI card reached through libusb-1.0.
//
// "Ezusb-0".."Ezusb-3" name the attached devices of the card vendor in bus, port
// path and address order. The device list is cached and enumerated again only when
// a name is not found, after a device error, or when a search starts (rescan()). A
// card is opened and its interface claimed on first use and kept open beneath the
// callers' open and close, so that
// the program's open-per-operation costs nothing; an unplug or I/O error drops it,
// and the next open finds the card again.
#include "EzUsbDriver.h"
#include "EzUsbLayout.h"

#include <array>
#include <cstdint>
#include <vector>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

namespace gyro {

class LibUsbDriver final : public EzUsbDriver {
public:
    static constexpr std::uint16_t CardVendorId = 0x2C7B;
    static constexpr unsigned int TransferTimeoutMs = 1000;

    LibUsbDriver();
    ~LibUsbDriver() override;
    LibUsbDriver(const LibUsbDriver&) = delete;
    LibUsbDriver& operator=(const LibUsbDriver&) = delete;

    // False when libusb could not be started; then no device ever opens.
    bool available() const { return context_ != nullptr; }

    Handle open(const QString& deviceName) override;
    bool ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                   std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override;
    void close(Handle handle) override;
    void rescan() override { listStale_ = true; }
    QString lastOpenFailure() const override { return lastOpenFailure_; }

private:
    struct Card {
        libusb_device* device = nullptr; // one reference held while listed
        libusb_device_handle* handle = nullptr;
        std::uint64_t session = 0; // changes on every open, so stale caller handles fail
        std::array<std::uint8_t, UsbDeviceDescriptorSize> descriptor{};
        int interfaceNumber = 0;
        int altSetting = 0;
        std::vector<EzUsbPipe> pipes;
        int languageId = -1; // asked once per open
    };
    struct Opened {
        Handle handle;
        std::size_t slot;
        std::uint64_t session;
    };

    void enumerate();
    bool ensureOpen(Card& card, const QString& deviceName);
    void drop(Card& card);
    Card* cardOf(Handle handle);
    bool failed(Card& card, int error, std::uint8_t endpoint = 0);

    bool stringDescriptor(Card& card, std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                          std::uint32_t& returned);
    bool pipeTransfer(Card& card, std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                      std::uint32_t& returned);

    libusb_context* context_ = nullptr;
    std::vector<Card> cards_; // in name order, at most four
    bool listStale_ = true;
    std::vector<Opened> opened_;
    Handle nextHandle_ = 1;
    std::uint64_t nextSession_ = 1;
    QString lastOpenFailure_;
};

} // namespace gyro
