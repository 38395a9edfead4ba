#include "EmulatedUsbBus.h"

#include <umockdev.h>

#include <dlfcn.h>
#include <ftw.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace gyro::test {

namespace {

constexpr int BusNumber = 1;

// A USB 2.0 root hub: device descriptor (vendor 1d6b, product 0002), one
// configuration with one hub interface and its interrupt endpoint.
constexpr const char* RootHubDescriptors = "12010002090001406b1d020006050302010109021900010100e000"
                                           "0904000001090000000705810304000c";

std::string threeDigits(int number)
{
    char text[8];
    std::snprintf(text, sizeof text, "%03d", number);
    return text;
}

std::string hex4(unsigned int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

// One device in umockdev's text form: path, node, udev properties, attributes (each
// value ends in an escaped newline, as sysfs has it) and the binary descriptors.
std::string deviceRecord(const std::string& path, int address, int devpath, const std::string& speed,
                         unsigned int vendor, unsigned int product, const std::string& descriptors)
{
    const std::string node = "bus/usb/" + threeDigits(BusNumber) + "/" + threeDigits(address);
    std::string text = "P: " + path + "\nN: " + node + "\n";
    text += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n";
    text += "E: DEVNAME=/dev/" + node + "\nE: BUSNUM=" + threeDigits(BusNumber) +
            "\nE: DEVNUM=" + threeDigits(address) + "\n";
    const auto attribute = [&text](const std::string& name, const std::string& value) {
        text += "A: " + name + "=" + value + "\\n\n";
    };
    attribute("busnum", std::to_string(BusNumber));
    attribute("devnum", std::to_string(address));
    attribute("devpath", std::to_string(devpath));
    attribute("speed", speed);
    attribute("idVendor", hex4(vendor));
    attribute("idProduct", hex4(product));
    attribute("bConfigurationValue", "1");
    attribute("dev", "189:" + std::to_string((BusNumber - 1) * 128 + address - 1));
    text += "H: descriptors=" + descriptors + "\n";
    return text;
}

void addRecord(UMockdevTestbed* testbed, const std::string& record)
{
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed, record.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("umockdev refused a device: " + message);
    }
}

} // namespace

bool InEmulatedUsbEnvironment()
{
    // Loaded already when dlopen finds it without loading it.
    return dlopen(UmockdevPreloadLibrary, RTLD_NOW | RTLD_NOLOAD) != nullptr;
}

EmulatedUsbBus::EmulatedUsbBus() : testbed_(umockdev_testbed_new())
{
    addRecord(testbed_, deviceRecord("/devices/usb1", 1, 0, "480", 0x1d6b, 0x0002, RootHubDescriptors));
}

EmulatedUsbBus::~EmulatedUsbBus()
{
    // The cards may be gone already: only the testbed's side is undone.
    for (const Plugged& plugged : plugged_)
        remove(plugged);
    g_object_unref(testbed_);
}

void EmulatedUsbBus::plug(EmulatedUsbCard& card, int port)
{
    const int address = nextAddress_++;
    Plugged plugged{&card, "/sys/devices/usb1/1-" + std::to_string(port),
                    "/dev/bus/usb/" + threeDigits(BusNumber) + "/" + threeDigits(address)};
    // The handler first, so that the node answers from the moment the device appears.
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, plugged.devNode.c_str(), card.ioctlHandler(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("umockdev cannot emulate " + plugged.devNode + ": " + message);
    }
    const EmulatedCardLayout& layout = card.layout();
    std::vector<std::uint8_t> descriptors = card.deviceDescriptor();
    const std::vector<std::uint8_t> configuration = ConfigurationDescriptorBytes(layout);
    descriptors.insert(descriptors.end(), configuration.begin(), configuration.end());
    card.setPresent(true);
    addRecord(testbed_,
              deviceRecord(plugged.sysPath.substr(4), address, port, layout.highSpeed ? "480" : "12", 0x2c7b,
                           layout.productId, HexBytes(descriptors)));
    plugged_.push_back(std::move(plugged));
}

void EmulatedUsbBus::unplug(EmulatedUsbCard& card)
{
    const auto it =
        std::find_if(plugged_.begin(), plugged_.end(), [&card](const Plugged& p) { return p.card == &card; });
    if (it == plugged_.end())
        return;
    card.setPresent(false);
    remove(*it);
    plugged_.erase(it);
}

void EmulatedUsbBus::restrictToRoot(EmulatedUsbCard& card)
{
    const auto it =
        std::find_if(plugged_.begin(), plugged_.end(), [&card](const Plugged& p) { return p.card == &card; });
    if (it == plugged_.end())
        return;
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    const std::string rootDir = root;
    g_free(root);
    // umockdev makes its files for their owner: another user must still see the bus
    // (files readable, sockets connectable, folders open to the event sockets that
    // udev monitors bind there), all but this node.
    const auto openUp = [](const char* path, const struct stat* info, int, FTW*) {
        if (S_ISLNK(info->st_mode))
            return 0; // a link has no mode of its own
        const mode_t others = S_ISDIR(info->st_mode)    ? (S_IROTH | S_IWOTH | S_IXOTH)
                              : S_ISSOCK(info->st_mode) ? (S_IROTH | S_IWOTH)
                                                        : S_IROTH;
        return chmod(path, (info->st_mode & 07777) | others);
    };
    if (nftw(rootDir.c_str(), openUp, 16, FTW_PHYS) != 0 || chmod((rootDir + it->devNode).c_str(), 0600) != 0)
        throw std::runtime_error("cannot set the permissions in " + rootDir);
}

void EmulatedUsbBus::remove(const Plugged& plugged)
{
    umockdev_testbed_uevent(testbed_, plugged.sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, plugged.sysPath.c_str());
    umockdev_testbed_detach_ioctl(testbed_, plugged.devNode.c_str(), nullptr);
}

} // namespace gyro::test
