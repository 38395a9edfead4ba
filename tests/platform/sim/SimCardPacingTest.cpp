// The simulated card's bus timing and the sensor's sample rate under fast polling.
#include "FakeClock.h"
#include "SimSensor.h"
#include "SimUsbBus.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace gyro::sim {
namespace {

bool sendRequest(SimUsbBus& bus, EzUsbDriver::Handle h, std::vector<std::uint8_t> request)
{
    const std::array<std::uint8_t, 4> pipe0{0, 0, 0, 0};
    std::uint32_t returned = 0;
    return bus.ioControl(h, EzUsbDriver::IoctlPipeTransfer, pipe0, request, returned);
}

std::vector<std::uint8_t> receiveAnswer(SimUsbBus& bus, EzUsbDriver::Handle h, std::size_t length)
{
    const std::array<std::uint8_t, 4> pipe1{1, 0, 0, 0};
    std::vector<std::uint8_t> data(length, 0);
    std::uint32_t returned = 0;
    if (!bus.ioControl(h, EzUsbDriver::IoctlPipeTransfer, pipe1, data, returned))
        return {};
    data.resize(returned);
    return data;
}

// With bus timing each bulk transaction (request, answer) ends at the next frame
// boundary of the card's speed; without it the card answers at once.
TEST(SimCardBusTiming, EachTransactionEndsAtTheNextFrameBoundary)
{
    struct Case {
        const char* name;
        std::uint16_t pipe3MaxPacket;
        bool timing;
        double afterRequest;
        double afterAnswer;
    };
    // Starting 30 us into a frame: high speed 125 us frames, full speed 1 ms frames.
    const Case cases[] = {
        {"high speed", 512, true, 125e-6, 250e-6},
        {"full speed", 64, true, 1e-3, 2e-3},
        {"no timing", 512, false, 30e-6, 30e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClock clock;
        clock.setMonotonic(30e-6);
        SimUsbBus bus;
        SimUsbCardConfig config;
        config.pipe3MaxPacket = c.pipe3MaxPacket;
        bus.attachCard(0, config);
        if (c.timing)
            bus.setBusTiming(&clock);
        const auto h = bus.open("Ezusb-0");
        ASSERT_TRUE(sendRequest(bus, h, {13, 1, 1, 0x04, 0x00}));
        EXPECT_NEAR(clock.monotonicSeconds(), c.afterRequest, 1e-12);
        EXPECT_EQ(receiveAnswer(bus, h, 2).size(), 2u);
        EXPECT_NEAR(clock.monotonicSeconds(), c.afterAnswer, 1e-12);
        bus.close(h);
    }
}

// A clock that moves on by a fixed step each time it is read, as real time moves
// between the frames of a card polled as fast as it goes.
class TickingClock final : public Clock {
public:
    explicit TickingClock(double step) : step_(step) {}
    double secondsSinceMidnight() override { return 0.0; }
    double monotonicSeconds() override { return now_ += step_; }
    void sleepUntil(double deadline) override { now_ = std::max(now_, deadline); }

private:
    double step_;
    double now_ = 0.0;
};

// Polled with the two-frame read of Gyro_Out (the same read frame twice) as fast as
// the clock allows, the sensor shows a new-data flag for every sample it made: a
// sample never lands between the two frames of one transfer and loses its flag there.
TEST(SimSensorRate, EverySampleShowsItsFlagHoweverOftenItIsRead)
{
    struct Case {
        std::uint16_t smplPrd;
        double secondsPerClockRead;
    };
    const Case cases[] = {{0x0001, 1e-6}, {0x0001, 3.3e-6}, {0x0000, 1e-6}, {0x0000, 7e-6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Smpl_Prd " << c.smplPrd << ", " << c.secondsPerClockRead);
        TickingClock clock(c.secondsPerClockRead);
        SimSensor sensor(clock);
        sensor.setRegisterWord(SensorAddress::Smpl_Prd, c.smplPrd);
        SimUsbBus bus;
        bus.attachCard(0);
        bus.connectChannel(1, &sensor);
        bus.setRequestLog(false);
        const auto h = bus.open("Ezusb-0");
        const std::uint64_t samplesBefore = sensor.sampleCount();
        std::uint64_t flags = 0;
        while (clock.monotonicSeconds() < 0.5) {
            ASSERT_TRUE(sendRequest(bus, h, {13, 1, 2, 0x04, 0x00, 0x04, 0x00}));
            const std::vector<std::uint8_t> answer = receiveAnswer(bus, h, 4);
            ASSERT_EQ(answer.size(), 4u);
            flags += (answer[2] & 0x80) != 0 ? 1 : 0;
        }
        sensor.update();
        // The sample made at the rate change (before the first read) carries a flag too.
        const std::uint64_t made = sensor.sampleCount() - samplesBefore;
        EXPECT_NEAR(static_cast<double>(flags), static_cast<double>(made), 1.0);
        EXPECT_GT(made, c.smplPrd == 0 ? 1000u : 120u);
        bus.close(h);
    }
}

} // namespace
} // namespace gyro::sim
