#include "LibUsbMapping.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace gyro {

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
    for (int alt = 0; alt < iface.num_altsetting; ++alt)
        if (iface.altsetting[alt].bNumEndpoints > 0)
            return alt;
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
