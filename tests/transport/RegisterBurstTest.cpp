// Burst reads on both transports: the exact frames, the answers each register gets,
// and a transfer that fails.
#include "RegisterBurst.h"
#include "MustRead.h"
#include "RegisterAccess.h"
#include "ScriptedRegisterDevice.h"
#include "SimParallelPort.h"
#include "UsbCardFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace gyro {
namespace {

using test::TracedFrame;

// One transport with the device behind it.
struct Link {
    virtual ~Link() = default;
    virtual GyroState& state() = 0;
    virtual SpiInterface iface() const = 0;
    test::ScriptedRegisterDevice device{0x5A5A}; // 0x5A5A: left over from an earlier access
    test::RecordingTrace trace;
};

struct UsbLink final : Link {
    test::ReadyCardFixture f;
    UsbLink()
    {
        f.bus.connectChannel(1, &device);
        f.g.InterfaceType = 2;
        f.g.spiTrace = &trace;
    }
    GyroState& state() override { return f.g; }
    SpiInterface iface() const override { return SpiInterface::Usb; }
};

struct ParallelLink final : Link {
    test::TestBackends backends;
    sim::SimParallelPort port{device};
    Platform platform = backends.platform({.port = &port});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
    ParallelLink()
    {
        g.InterfaceType = 1;
        g.PortAddress = 0x378;
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10'000;
        g.spiTrace = &trace;
    }
    GyroState& state() override { return g; }
    SpiInterface iface() const override { return SpiInterface::Parallel; }
};

std::unique_ptr<Link> makeLink(bool usb)
{
    if (usb)
        return std::make_unique<UsbLink>();
    return std::make_unique<ParallelLink>();
}

class RegisterBurst : public ::testing::TestWithParam<bool> {};

// Gyro_Out 0x04, Status 0x3C, Temp_Out 0x0C, Supply_Out 0x02: read frames 0x0400,
// 0x3C00, 0x0C00, 0x0200 and the closing 0x0000; each frame answers the one before.
TEST_P(RegisterBurst, SendsOneFramePerRegisterAndAClosingFrame)
{
    const auto link = makeLink(GetParam());
    link->device.words = {{0x04, 0xE001}, {0x3C, 0x0010}, {0x0C, 0x8FFF}, {0x02, 0x0A3D}};
    const std::array<int, 4> indexes{Idx_Gyro_Out, Idx_Status, Idx_Temp_Out, Idx_Supply_Out};
    const ReadOutcome<BurstReadings> burst = ReadRegisterBurst(link->state(), indexes);
    ASSERT_TRUE(burst);
    const BurstReadings& readings = *burst;
    ASSERT_EQ(readings.size(), 4u);

    EXPECT_EQ(link->device.received, std::vector<std::uint16_t>({0x0400, 0x3C00, 0x0C00, 0x0200, 0x0000}));
    const SpiInterface i = link->iface();
    EXPECT_EQ(link->trace.frames, std::vector<TracedFrame>({{i, 0x0400, 0x5A5A},
                                                            {i, 0x3C00, 0xE001},
                                                            {i, 0x0C00, 0x0010},
                                                            {i, 0x0200, 0x8FFF},
                                                            {i, 0x0000, 0x0A3D}}));
    // 0xE001: new data, error, 14-bit count 0x2001 = -8191. Status has no flags, so its
    // reading has none. 0x8FFF: new data, 12-bit count 0xFFF = -1. 0x0A3D: no new
    // data, 12 bits 0xA3D = 2621.
    EXPECT_EQ(readings[0].RegWord, -8191);
    EXPECT_EQ(readings[0].RegNewData, 0x8000);
    EXPECT_EQ(readings[0].RegErrorFlag, 0x4000);
    EXPECT_EQ(readings[0].RegHighByte, 0xE0);
    EXPECT_EQ(readings[1].RegWord, 0x0010);
    EXPECT_EQ(readings[1].RegNewData, 0);
    EXPECT_EQ(readings[2].RegWord, -1);
    EXPECT_EQ(readings[2].RegErrorFlag, 0);
    EXPECT_EQ(readings[3].RegWord, 2621);
    EXPECT_EQ(readings[3].RegNewData, 0);

    // The same words read one by one give the same readings.
    for (std::size_t k = 0; k < indexes.size(); ++k)
        EXPECT_EQ(readings[k], test::MustRead(link->state(), indexes[k])) << "register " << k;
}

TEST_P(RegisterBurst, RefusesWhatNoTransferCanCarryBeforeAnyTraffic)
{
    const auto link = makeLink(GetParam());
    const std::array<int, 16> sixteen{1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1};
    EXPECT_THROW(ReadRegisterBurst(link->state(), sixteen), std::invalid_argument);
    EXPECT_THROW(ReadRegisterBurst(link->state(), std::span<const int>()), std::invalid_argument);
    const std::array<int, 2> withCommand{Idx_Gyro_Out, Idx_Command};
    EXPECT_THROW(ReadRegisterBurst(link->state(), withCommand), std::invalid_argument);
    const std::array<int, 1> beyondMap{297};
    EXPECT_THROW(ReadRegisterBurst(link->state(), beyondMap), std::out_of_range);
    EXPECT_TRUE(link->device.received.empty());

    // Fifteen registers fill one transfer of sixteen words.
    std::array<int, 15> fifteen{};
    fifteen.fill(Idx_Gyro_Out);
    EXPECT_TRUE(ReadRegisterBurst(link->state(), fifteen));
    EXPECT_EQ(link->device.received.size(), 16u);
}

INSTANTIATE_TEST_SUITE_P(BothTransports, RegisterBurst, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Usb" : "Parallel"; });

// A transfer whose answer never comes fails the whole burst: no register has a
// reading, not even the ones whose frames reached the sensor.
TEST(RegisterBurstFailure, AFailedTransferLeavesNoValues)
{
    struct Case {
        const char* name;
        void (*fault)(sim::SimUsbBus&);
        const char* message;
    };
    const Case cases[] = {
        {"answer lost", [](sim::SimUsbBus& b) { b.failPipe(0, 1); }, "Error Reading SPI"},
        {"card gone", [](sim::SimUsbBus& b) { b.stopAnswering(0); }, "Error Writing SPI"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UsbLink link;
        link.device.words = {{0x04, 0x8123}, {0x0C, 0x8001}};
        const std::array<int, 2> indexes{Idx_Gyro_Out, Idx_Temp_Out};
        ASSERT_TRUE(ReadRegisterBurst(link.f.g, indexes));
        c.fault(link.f.bus);
        const ReadOutcome<BurstReadings> failed = ReadRegisterBurst(link.f.g, indexes);
        EXPECT_FALSE(failed);
        EXPECT_EQ(failed.reason(), NoReadingReason::NoAnswer);
        EXPECT_EQ(link.f.ui.texts(), QStringList({c.message}));
        EXPECT_TRUE(link.f.everyOpenClosed());
    }
}

TEST(RegisterBurstFailure, NoInterfaceSendsNothing)
{
    UsbLink link;
    link.f.g.InterfaceType = 0;
    const std::array<int, 1> gyro{Idx_Gyro_Out};
    EXPECT_FALSE(ReadRegisterBurst(link.f.g, gyro));
    EXPECT_TRUE(link.device.received.empty());
}

} // namespace
} // namespace gyro
