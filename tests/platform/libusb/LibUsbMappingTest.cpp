// The libusb backend's device-free parts, on hand-made descriptors.
#include "LibUsbMapping.h"
#include "LibUsbDriver.h"

#include <QFile>
#include <gtest/gtest.h>

#include <array>

using namespace gyro;

TEST(LibUsbMapping, CardsAreNamedInBusPortAndAddressOrder)
{
    const std::vector<UsbDeviceLocation> devices{
        {2, {1}, 5},    // 0
        {1, {3, 2}, 9}, // 1
        {1, {3}, 7},    // 2: a shorter path on the same hub port sorts first
        {1, {3, 2}, 4}, // 3: same place as 1 (a re-plug), lower address
        {1, {}, 1},     // 4: no port path known
    };
    EXPECT_EQ(OrderCardLocations(devices), (std::vector<std::size_t>{4, 2, 3, 1, 0}));
    EXPECT_TRUE(OrderCardLocations({}).empty());
}

TEST(LibUsbMapping, PipesFollowTheEndpointsInOrder)
{
    std::array<libusb_endpoint_descriptor, 3> endpoints{};
    endpoints[0].bEndpointAddress = 0x02;
    endpoints[0].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    endpoints[0].wMaxPacketSize = 512;
    endpoints[1].bEndpointAddress = 0x86;
    endpoints[1].bmAttributes = LIBUSB_TRANSFER_TYPE_BULK;
    endpoints[1].wMaxPacketSize = 512;
    endpoints[2].bEndpointAddress = 0x81;
    endpoints[2].bmAttributes = 0x3 | 0x0C; // interrupt, with synchronisation bits that are not the type
    endpoints[2].wMaxPacketSize = 64;
    endpoints[2].bInterval = 4;
    libusb_interface_descriptor setting{};
    setting.bNumEndpoints = 3;
    setting.endpoint = endpoints.data();

    const std::vector<EzUsbPipe> pipes = PipesOfInterface(setting);
    ASSERT_EQ(pipes.size(), 3u);
    EXPECT_EQ(pipes[0].endpointAddress, 0x02);
    EXPECT_FALSE(pipes[0].isIn());
    EXPECT_EQ(pipes[1].endpointAddress, 0x86);
    EXPECT_TRUE(pipes[1].isIn());
    EXPECT_EQ(pipes[1].maxPacketSize, 512);
    EXPECT_EQ(pipes[2].type, EzUsbPipeType::Interrupt);
    EXPECT_EQ(pipes[2].interval, 4);

    // The pipe table built from them: pipe 2's packet size at 16 + 2 x 20 = 56.
    std::array<std::uint8_t, 356> table{};
    ASSERT_TRUE(BuildEzUsbPipeTable(pipes, 0, 0, table));
    EXPECT_EQ(table[56], 64);
    EXPECT_EQ(table[58], 0x81);
    EXPECT_EQ(table[60], 3);
}

TEST(LibUsbMapping, AltSettingWithUsableEndpointsIsChosen)
{
    // Setting 0: no endpoints; 1: two, one of them zero-bandwidth; 2: two usable; 3: two usable.
    std::array<libusb_endpoint_descriptor, 2> partlyZero{};
    partlyZero[0].wMaxPacketSize = 512;
    std::array<libusb_endpoint_descriptor, 2> usable{};
    usable[0].wMaxPacketSize = 64;
    usable[1].wMaxPacketSize = 64;
    std::array<libusb_interface_descriptor, 4> settings{};
    settings[1].bNumEndpoints = 2;
    settings[1].endpoint = partlyZero.data();
    settings[2].bNumEndpoints = 2;
    settings[2].endpoint = usable.data();
    settings[3] = settings[2];
    libusb_interface iface{};
    iface.altsetting = settings.data();
    iface.num_altsetting = 4;
    EXPECT_EQ(ChooseAltSetting(iface), 2);
    settings[1].endpoint = usable.data();
    EXPECT_EQ(ChooseAltSetting(iface), 1);
    iface.num_altsetting = 1;
    EXPECT_EQ(ChooseAltSetting(iface), 0); // none has usable endpoints: the first
}

TEST(LibUsbMapping, DeviceDescriptorBytesAreLittleEndian)
{
    libusb_device_descriptor d{};
    d.bLength = 18;
    d.bDescriptorType = 1;
    d.bcdUSB = 0x0200;
    d.bMaxPacketSize0 = 64;
    d.idVendor = 0x2C7B;
    d.idProduct = 0x3A51;
    d.bcdDevice = 0x0A0B;
    d.iManufacturer = 1;
    d.iProduct = 2;
    d.bNumConfigurations = 1;
    const std::array<std::uint8_t, 18> expected{18,   1,    0x00, 0x02, 0,    0, 0, 64, 0x7B,
                                                0x2C, 0x51, 0x3A, 0x0B, 0x0A, 1, 2, 0,  1};
    EXPECT_EQ(DeviceDescriptorBytes(d), expected);
}

TEST(LibUsbMapping, LanguageAndErrors)
{
    const std::array<std::uint8_t, 6> languages{6, 3, 0x07, 0x04, 0x09, 0x04}; // German, English
    EXPECT_EQ(FirstLanguageId(languages.data(), 6), 0x0407);
    EXPECT_EQ(FirstLanguageId(languages.data(), 2), 0x0409); // too short to hold one
    EXPECT_EQ(FirstLanguageId(languages.data(), LIBUSB_ERROR_PIPE), 0x0409);

    EXPECT_TRUE(LibUsbErrorDropsDevice(LIBUSB_ERROR_NO_DEVICE));
    EXPECT_TRUE(LibUsbErrorDropsDevice(LIBUSB_ERROR_IO));
    EXPECT_FALSE(LibUsbErrorDropsDevice(LIBUSB_ERROR_TIMEOUT));
    EXPECT_FALSE(LibUsbErrorDropsDevice(LIBUSB_ERROR_PIPE));
}

TEST(LibUsbDriver, NamesOutsideTheFourNeverOpen)
{
    LibUsbDriver driver;
    for (const char* name : {"Ezusb-4", "Ezusb", "", "/dev/bus/usb/001/001"})
        EXPECT_EQ(driver.open(QString::fromLatin1(name)), 0) << name;
    std::array<std::uint8_t, 4> buffer{};
    std::uint32_t returned = 7;
    EXPECT_FALSE(driver.ioControl(42, EzUsbDriver::IoctlGetPipeInfo, buffer, buffer, returned));
    EXPECT_EQ(returned, 0u);
    driver.close(42); // never opened: nothing happens
}

TEST(LibUsbMapping, OpenFailuresNameTheirCause)
{
    const QString busy =
        CardOpenFailureText(QStringLiteral("Ezusb-1"), CardOpenStep::Claim, LIBUSB_ERROR_BUSY);
    EXPECT_TRUE(busy.startsWith(QStringLiteral("USB card Ezusb-1 is in use by another program")));
    // No permission: the message carries the udev rule itself.
    const QString denied =
        CardOpenFailureText(QStringLiteral("Ezusb-0"), CardOpenStep::Open, LIBUSB_ERROR_ACCESS);
    EXPECT_TRUE(denied.contains(QStringLiteral("no permission")));
    // The rule it gives is the one the package installs, word for word.
    QFile packaged(QStringLiteral(GYRO_UDEV_RULE_FILE));
    ASSERT_TRUE(packaged.open(QIODevice::ReadOnly));
    QString rule;
    for (const QString& line : QString::fromUtf8(packaged.readAll()).split(u'\n'))
        if (line.startsWith(QLatin1String("SUBSYSTEM")))
            rule = line;
    // ... and names the vendor the backend looks for.
    const QString vendor = QStringLiteral("%1").arg(LibUsbDriver::CardVendorId, 4, 16, QLatin1Char('0'));
    ASSERT_TRUE(rule.contains(QStringLiteral(R"(ATTR{idVendor}=="%1")").arg(vendor))) << rule.toStdString();
    EXPECT_TRUE(denied.contains(u'\n' + rule + u'\n')) << denied.toStdString();
    EXPECT_EQ(CardOpenFailureText(QStringLiteral("Ezusb-0"), CardOpenStep::Open, LIBUSB_ERROR_IO),
              QStringLiteral("USB card Ezusb-0 cannot be opened: LIBUSB_ERROR_IO"));
}
