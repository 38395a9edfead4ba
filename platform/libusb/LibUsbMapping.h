#pragma once
// The parts of the libusb backend that need no device: the order that gives the
// cards their names, the pipes of an interface, the raw device descriptor and the
// errors after which a card counts as gone.
#include "EzUsbLayout.h"

#include <libusb.h>

#include <array>
#include <cstdint>
#include <vector>

namespace gyro {

// Where a device sits on the buses.
struct UsbDeviceLocation {
    std::uint8_t bus = 0;
    std::vector<std::uint8_t> portPath; // port numbers from the root hub down
    std::uint8_t address = 0;
};

// The indexes of `devices` in name order ("Ezusb-0" first): by bus number, then
// port path, then address. The same cards in the same sockets get the same names.
std::vector<std::size_t> OrderCardLocations(const std::vector<UsbDeviceLocation>& devices);

// The alternate setting whose endpoints become the pipes: the first one that has
// endpoints, all with a non-zero max packet size (a setting that lists them with
// zero bandwidth cannot move data), or 0 when none has.
int ChooseAltSetting(const libusb_interface& iface);

// The pipes of an interface setting: pipe p is its p-th endpoint.
std::vector<EzUsbPipe> PipesOfInterface(const libusb_interface_descriptor& setting);

// The 18 bytes of a device descriptor as the device sends them (little-endian fields).
std::array<std::uint8_t, UsbDeviceDescriptorSize> DeviceDescriptorBytes(const libusb_device_descriptor& d);

// The language to ask strings in: the first entry of string descriptor 0 (`bytes`
// as read, `length` the count read or a negative error), US English when it has none.
std::uint16_t FirstLanguageId(const std::uint8_t* bytes, int length);

// The step of bringing a card into use that failed.
enum class CardOpenStep { Open, Claim, AltSetting };

// The user's words for a card that is present but cannot be used: the card's name,
// the step that failed and the cause (in use by another program; no permission, with
// the udev rule that grants it; else the libusb error's name).
QString CardOpenFailureText(const QString& deviceName, CardOpenStep step, int error);

// True when a libusb error means the device is gone or unusable (unplugged, reset,
// I/O failure): the handle is dropped and the next search enumerates again.
bool LibUsbErrorDropsDevice(int error);

} // namespace gyro
