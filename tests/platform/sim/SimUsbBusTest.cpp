// The simulated card bus as a driver: its own rules, apart from the program's use.
#include "SimUsbBus.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace gyro;
using gyro::sim::SimUsbBus;

namespace {

// Answers every frame with its own bitwise complement, one frame late.
class ComplementDevice final : public sim::SpiDevice {
public:
    std::uint16_t pendingAnswer() override { return next; }
    void frameReceived(std::uint16_t frame) override { next = static_cast<std::uint16_t>(~frame); }
    std::uint16_t next = 0;
};

struct Driver {
    SimUsbBus bus;

    bool transfer(EzUsbDriver::Handle h, std::uint32_t pipe, std::vector<std::uint8_t>& data,
                  std::uint32_t& returned)
    {
        const std::array<std::uint8_t, 4> input{static_cast<std::uint8_t>(pipe), 0, 0, 0};
        return bus.ioControl(h, EzUsbDriver::IoctlPipeTransfer, input, data, returned);
    }
    bool send(EzUsbDriver::Handle h, std::vector<std::uint8_t> request)
    {
        std::uint32_t returned = 0;
        return transfer(h, 0, request, returned);
    }
    std::vector<std::uint8_t> receive(EzUsbDriver::Handle h, std::size_t length, bool* ok = nullptr)
    {
        std::vector<std::uint8_t> data(length, 0);
        std::uint32_t returned = 0;
        const bool done = transfer(h, 1, data, returned);
        if (ok != nullptr)
            *ok = done;
        data.resize(returned);
        return data;
    }
};

} // namespace

TEST(SimUsbBus, NamesOpenOnlyWhereACardSits)
{
    Driver d;
    EXPECT_EQ(d.bus.open("Ezusb-0"), 0);
    d.bus.attachCard(2);
    EXPECT_EQ(d.bus.open("Ezusb-1"), 0);
    EXPECT_EQ(d.bus.open("Ezusb-9"), 0);
    const auto h = d.bus.open("Ezusb-2");
    EXPECT_GT(h, 0);
    EXPECT_EQ(d.bus.openHandles(), 1);
    d.bus.close(h);
    d.bus.close(h); // a second close of the same handle counts nothing
    EXPECT_EQ(d.bus.openCount(2), 1);
    EXPECT_EQ(d.bus.closeCount(2), 1);
    EXPECT_THROW(d.bus.attachCard(4), std::out_of_range);
}

TEST(SimUsbBus, DeviceDescriptorCarriesTheIdentifiers)
{
    Driver d;
    sim::SimUsbCardConfig config;
    config.productId = 0x3A62;
    d.bus.attachCard(0, config);
    const auto h = d.bus.open("Ezusb-0");
    std::vector<std::uint8_t> buffer(147, 0xAA);
    std::uint32_t returned = 0;
    ASSERT_TRUE(d.bus.ioControl(h, EzUsbDriver::IoctlGetDeviceDescriptor, buffer, buffer, returned));
    EXPECT_EQ(returned, 18u);
    EXPECT_EQ(buffer[0], 18); // descriptor length
    EXPECT_EQ(buffer[1], 1);  // type: device
    // Vendor 0x2C7B and product 0x3A62, little-endian at 8 and 10.
    EXPECT_EQ(buffer[8], 0x7B);
    EXPECT_EQ(buffer[9], 0x2C);
    EXPECT_EQ(buffer[10], 0x62);
    EXPECT_EQ(buffer[11], 0x3A);
    EXPECT_EQ(buffer[18], 0xAA); // nothing written past the descriptor
}

TEST(SimUsbBus, AnswersBelongToTheLastRequest)
{
    Driver d;
    d.bus.attachCard(0);
    const auto h = d.bus.open("Ezusb-0");
    bool ok = true;
    d.receive(h, 2, &ok);
    EXPECT_FALSE(ok); // nothing asked yet

    ASSERT_TRUE(d.send(h, {0x00}));
    EXPECT_EQ(d.receive(h, 2), (std::vector<std::uint8_t>{2, 3}));
    EXPECT_EQ(d.receive(h, 2), (std::vector<std::uint8_t>{2, 3})); // read again, same answer
    EXPECT_EQ(d.receive(h, 1), (std::vector<std::uint8_t>{2}));    // a shorter read takes less

    ASSERT_TRUE(d.send(h, {0x0B, 42}));
    d.receive(h, 2, &ok);
    EXPECT_FALSE(ok); // setting the delay has no answer
    EXPECT_EQ(d.bus.wordDelay(0), 42);
    ASSERT_TRUE(d.send(h, {0x0C, 0x18}));
    ASSERT_TRUE(d.send(h, {0x01}));
    EXPECT_EQ(d.receive(h, 2), (std::vector<std::uint8_t>{42, 0x18}));
}

TEST(SimUsbBus, TransfersReachTheDeviceOnTheirChannel)
{
    Driver d;
    d.bus.attachCard(0);
    d.bus.attachCard(1);
    ComplementDevice everywhere;
    ComplementDevice onlyCard1;
    d.bus.connectChannel(1, &everywhere);
    d.bus.connectChannel(1, 1, &onlyCard1);

    const auto h0 = d.bus.open("Ezusb-0");
    ASSERT_TRUE(d.send(h0, {13, 1, 2, 0x12, 0x34, 0x00, 0x0F}));
    // First answer: what the device held (0); second: ~0x1234 = 0xEDCB.
    EXPECT_EQ(d.receive(h0, 4), (std::vector<std::uint8_t>{0x00, 0x00, 0xED, 0xCB}));
    ASSERT_TRUE(d.send(h0, {14, 2, 1, 0x12, 0x34}));
    EXPECT_EQ(d.receive(h0, 2), (std::vector<std::uint8_t>{0xFF, 0xFF})); // nothing on channel 2

    const auto h1 = d.bus.open("Ezusb-1");
    ASSERT_TRUE(d.send(h1, {13, 1, 1, 0xAB, 0xCD}));
    EXPECT_EQ(onlyCard1.next, 0x5432);  // ~0xABCD: card 1's own device got the frame
    EXPECT_EQ(everywhere.next, 0xFFF0); // ~0x000F, from card 0's transfer

    // A request cut short gets no answer.
    ASSERT_TRUE(d.send(h1, {13, 1, 2, 0xAB, 0xCD}));
    bool ok = true;
    d.receive(h1, 4, &ok);
    EXPECT_FALSE(ok);
}

TEST(SimUsbBus, FaultsAndUnplugging)
{
    Driver d;
    d.bus.attachCard(0);
    auto h = d.bus.open("Ezusb-0");
    d.bus.failVersionRequest(0);
    EXPECT_FALSE(d.send(h, {0x00}));
    EXPECT_TRUE(d.send(h, {0x01}));
    d.bus.stopAnswering(0);
    EXPECT_FALSE(d.send(h, {0x01}));
    d.bus.clearFaults(0);
    EXPECT_TRUE(d.send(h, {0x00}));
    d.bus.failPipe(0, 1);
    EXPECT_TRUE(d.send(h, {0x00}));
    bool ok = true;
    d.receive(h, 2, &ok);
    EXPECT_FALSE(ok);
    d.bus.clearFaults(0);

    // A handle to a card that was unplugged reaches nothing, also once another card is plugged in.
    d.bus.detachCard(0);
    EXPECT_FALSE(d.send(h, {0x00}));
    d.bus.attachCard(0);
    EXPECT_FALSE(d.send(h, {0x00}));
    d.bus.close(h);
    h = d.bus.open("Ezusb-0");
    EXPECT_TRUE(d.send(h, {0x00}));
    EXPECT_EQ(d.bus.failedRequests(), 5);
}

TEST(SimUsbBus, RequestLogIsBoundedAndCanBeSwitchedOff)
{
    Driver d;
    d.bus.attachCard(3);
    const auto h = d.bus.open("Ezusb-3");
    d.bus.setRequestLog(true, 2);
    for (int delay : {1, 2, 3})
        d.send(h, {0x0B, static_cast<std::uint8_t>(delay)});
    ASSERT_EQ(d.bus.pipe0Requests().size(), 2u);
    EXPECT_EQ(d.bus.pipe0Requests().front().slot, 3);
    EXPECT_EQ(d.bus.pipe0Requests().front().bytes, (std::vector<std::uint8_t>{0x0B, 2}));
    d.bus.setRequestLog(false);
    d.send(h, {0x0B, 4});
    EXPECT_EQ(d.bus.pipe0Requests().back().bytes, (std::vector<std::uint8_t>{0x0B, 3}));
    EXPECT_EQ(d.bus.wordDelay(3), 4);
}
