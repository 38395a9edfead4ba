#include "LibUsbMapping.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <tuple>

namespace gyro {

namespace {

// Bits 10..0 of wMaxPacketSize are the packet size; 0 reserves no bandwidth, so such
// an endpoint moves no data.
constexpr std::uint16_t PacketSizeMask = 0x07FF;

} // namespace

std::vector<std::size_t> OrderCardLocations(const std::vector<UsbDeviceLocation>& devices)
{
    std::vector<std::size_t> order(devices.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&devices](std::size_t a, std::size_t b) {
        const UsbDeviceLocation& x = devices[a];
        const UsbDeviceLocation& y = devices[b];
        return std::tie(x.bus, x.portPath, x.address) < std::tie(y.bus, y.portPath, y.address);
    });
    return order;
}

int ChooseAltSetting(const libusb_interface& iface)
{
    for (int alt = 0; alt < iface.num_altsetting; ++alt) {
        const libusb_interface_descriptor& setting = iface.altsetting[alt];
        const std::span endpoints(setting.endpoint, setting.bNumEndpoints);
        if (!endpoints.empty() && std::all_of(endpoints.begin(), endpoints.end(), [](const auto& ep) {
                return (ep.wMaxPacketSize & PacketSizeMask) != 0;
            }))
            return alt;
    }
    return 0;
}

std::vector<EzUsbPipe> PipesOfInterface(const libusb_interface_descriptor& setting)
{
    std::vector<EzUsbPipe> pipes;
    pipes.reserve(setting.bNumEndpoints);
    for (int e = 0; e < setting.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& ep = setting.endpoint[e];
        pipes.push_back({ep.wMaxPacketSize, ep.bEndpointAddress, ep.bInterval,
                         static_cast<EzUsbPipeType>(ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK)});
    }
    return pipes;
}

std::array<std::uint8_t, UsbDeviceDescriptorSize> DeviceDescriptorBytes(const libusb_device_descriptor& d)
{
    std::array<std::uint8_t, UsbDeviceDescriptorSize> bytes{};
    const std::span<std::uint8_t> b(bytes);
    b[0] = d.bLength;
    b[1] = d.bDescriptorType;
    PutLe16(b.subspan(2), d.bcdUSB);
    b[4] = d.bDeviceClass;
    b[5] = d.bDeviceSubClass;
    b[6] = d.bDeviceProtocol;
    b[7] = d.bMaxPacketSize0;
    PutLe16(b.subspan(8), d.idVendor);
    PutLe16(b.subspan(10), d.idProduct);
    PutLe16(b.subspan(12), d.bcdDevice);
    b[14] = d.iManufacturer;
    b[15] = d.iProduct;
    b[16] = d.iSerialNumber;
    b[17] = d.bNumConfigurations;
    return bytes;
}

std::uint16_t FirstLanguageId(const std::uint8_t* bytes, int length)
{
    constexpr std::uint16_t EnglishUs = 0x0409;
    if (bytes == nullptr || length < 4 || bytes[0] < 4)
        return EnglishUs;
    return static_cast<std::uint16_t>(bytes[2] | (bytes[3] << 8));
}

QString CardOpenFailureText(const QString& deviceName, CardOpenStep step, int error)
{
    const QString card = QStringLiteral("USB card %1").arg(deviceName);
    if (error == LIBUSB_ERROR_BUSY && step != CardOpenStep::Open)
        return card + QStringLiteral(" is in use by another program: its interface cannot be claimed. "
                                     "Close that program and search again.");
    if (error == LIBUSB_ERROR_ACCESS)
        return card +
               QStringLiteral(" cannot be opened: no permission. The gyroeval package's udev rule gives the "
                              "user at the seat the card; without the package, put\n"
                              "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", ATTR{idVendor}==\"2c7b\", "
                              "TAG+=\"uaccess\"\n"
                              "in /etc/udev/rules.d/60-gyroeval-usb-spi-card.rules, run "
                              "\"sudo udevadm control --reload-rules && sudo udevadm trigger\" "
                              "and plug the card in again.");
    const QString cause = QString::fromLatin1(libusb_error_name(error));
    switch (step) {
    case CardOpenStep::Open:
        return card + QStringLiteral(" cannot be opened: ") + cause;
    case CardOpenStep::Claim:
        return card + QStringLiteral(": its interface cannot be claimed: ") + cause;
    case CardOpenStep::AltSetting:
        return card + QStringLiteral(": its alternate setting cannot be chosen: ") + cause;
    }
    return card + QStringLiteral(": ") + cause;
}

bool LibUsbErrorDropsDevice(int error)
{
    switch (error) {
    case LIBUSB_ERROR_IO:
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
    case LIBUSB_ERROR_ACCESS:
    case LIBUSB_ERROR_OTHER:
        return true;
    default: // a timeout, a stall or an overflow leaves the device usable
        return false;
    }
}

} // namespace gyro
