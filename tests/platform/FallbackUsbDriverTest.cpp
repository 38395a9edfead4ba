// Two USB driver backends behind one: each name through the first where it has
// the device, else through the second; every request and close reaches the
// backend that opened the handle.
#include "FallbackUsbDriver.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace gyro {
namespace {

// Has the devices it is given; records the requests and closes it gets.
class FakeBackend final : public EzUsbDriver {
public:
    FakeBackend(std::map<QString, Handle> devices, QString failure = {})
        : devices_(std::move(devices)), failure_(std::move(failure))
    {
    }
    Handle open(const QString& name) override
    {
        const auto it = devices_.find(name);
        return it == devices_.end() ? 0 : it->second;
    }
    bool ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t>, std::span<std::uint8_t>,
                   std::uint32_t& returned) override
    {
        requests.push_back({handle, code});
        returned = 1;
        return true;
    }
    void close(Handle handle) override { closed.push_back(handle); }
    void rescan() override { ++rescans; }
    QString lastOpenFailure() const override { return failure_; }

    std::vector<std::pair<Handle, std::uint32_t>> requests;
    std::vector<Handle> closed;
    int rescans = 0;

private:
    std::map<QString, Handle> devices_;
    QString failure_;
};

TEST(FallbackUsbDriver, EachNameGoesToTheBackendThatHasIt)
{
    FakeBackend ezusb({{QStringLiteral("Ezusb-0"), 0x40}});
    FakeBackend libusb({{QStringLiteral("Ezusb-0"), 7}, {QStringLiteral("Ezusb-1"), 7}});
    FallbackUsbDriver usb(ezusb, libusb);

    const auto first = usb.open(QStringLiteral("Ezusb-0"));
    const auto second = usb.open(QStringLiteral("Ezusb-1"));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(usb.open(QStringLiteral("Ezusb-2")), 0);

    std::uint32_t returned = 0;
    std::uint8_t byte = 0;
    EXPECT_TRUE(usb.ioControl(first, EzUsbDriver::IoctlGetPipeInfo, {}, {&byte, 1}, returned));
    EXPECT_TRUE(usb.ioControl(second, EzUsbDriver::IoctlPipeTransfer, {}, {&byte, 1}, returned));
    EXPECT_EQ(ezusb.requests, (std::vector<std::pair<EzUsbDriver::Handle, std::uint32_t>>{{0x40, 0x222000}}));
    EXPECT_EQ(libusb.requests, (std::vector<std::pair<EzUsbDriver::Handle, std::uint32_t>>{{7, 0x222051}}));

    usb.close(second);
    usb.close(first);
    EXPECT_EQ(ezusb.closed, std::vector<EzUsbDriver::Handle>{0x40});
    EXPECT_EQ(libusb.closed, std::vector<EzUsbDriver::Handle>{7});
    // A closed or unknown handle reaches no backend.
    EXPECT_FALSE(usb.ioControl(first, EzUsbDriver::IoctlGetPipeInfo, {}, {&byte, 1}, returned));
    usb.close(first);
    EXPECT_EQ(ezusb.closed.size(), 1u);

    usb.rescan();
    EXPECT_EQ(ezusb.rescans + libusb.rescans, 2);
}

TEST(FallbackUsbDriver, TheFirstBackendsReasonComesFirst)
{
    struct Row {
        QString first, second, told;
    };
    for (const Row& row :
         {Row{"Ezusb-0: Access denied", "busy", "Ezusb-0: Access denied"},
          Row{"", "Ezusb-0: in use by another program", "Ezusb-0: in use by another program"},
          Row{"", "", ""}}) {
        FakeBackend a({}, row.first), b({}, row.second);
        FallbackUsbDriver usb(a, b);
        EXPECT_EQ(usb.open(QStringLiteral("Ezusb-0")), 0);
        EXPECT_EQ(usb.lastOpenFailure(), row.told);
    }
}

} // namespace
} // namespace gyro
