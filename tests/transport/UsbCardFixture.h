#pragma once
// A GyroState whose USB driver is the simulated card bus, with a recording UI host,
// plus the small helpers the USB tests share: a scripted SPI device, a recording
// SPI trace and a driver wrapper that records every request's layout.
#include "EzUsb.h"
#include "GyroState.h"
#include "RecordingTrace.h"
#include "SimUsbBus.h"
#include "SpiDevice.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace gyro::test {

// Answers each frame from a script (0 when the script is empty) and records the frames.
class ScriptedSpiDevice final : public sim::SpiDevice {
public:
    std::uint16_t pendingAnswer() override
    {
        if (answers.empty())
            return 0;
        const std::uint16_t word = answers.front();
        answers.pop_front();
        return word;
    }
    void frameReceived(std::uint16_t frame) override { frames.push_back(frame); }

    std::deque<std::uint16_t> answers;
    std::vector<std::uint16_t> frames;
};

// Passes every request to another driver and records what the caller handed over.
class RecordingUsbDriver final : public EzUsbDriver {
public:
    struct Request {
        std::uint32_t code;
        std::vector<std::uint8_t> input;
        std::vector<std::uint8_t> output; // the output area as handed in
    };

    explicit RecordingUsbDriver(EzUsbDriver& inner) : inner_(inner) {}
    Handle open(const QString& name) override { return inner_.open(name); }
    bool ioControl(Handle handle, std::uint32_t code, std::span<const std::uint8_t> input,
                   std::span<std::uint8_t> output, std::uint32_t& bytesReturned) override
    {
        requests.push_back({code, {input.begin(), input.end()}, {output.begin(), output.end()}});
        return inner_.ioControl(handle, code, input, output, bytesReturned);
    }
    void close(Handle handle) override { inner_.close(handle); }
    void rescan() override { inner_.rescan(); }
    QString lastOpenFailure() const override { return inner_.lastOpenFailure(); }

    std::vector<Request> requests;

private:
    EzUsbDriver& inner_;
};

struct UsbCardFixture {
    TestBackends backends;
    sim::SimUsbBus bus;
    RecordingUsbDriver usb{bus};
    Platform platform = backends.platform({.usb = &usb});
    RecordingUiHost ui;
    GyroState g{platform, ui};
    ScriptedSpiDevice sensor;

    UsbCardFixture()
    {
        g.DelayCalibrated = true; // the writes' 0.1 ms waits spin on simulated time
        bus.connectChannel(1, &sensor);
    }

    // Every handle opened on every slot was closed again.
    bool everyOpenClosed() const
    {
        for (int slot = 0; slot < sim::SimUsbBus::Slots; ++slot)
            if (bus.openCount(slot) != bus.closeCount(slot))
                return false;
        return bus.openHandles() == 0;
    }

    std::vector<std::vector<std::uint8_t>> requestBytes() const
    {
        std::vector<std::vector<std::uint8_t>> list;
        for (const auto& r : bus.pipe0Requests())
            list.push_back(r.bytes);
        return list;
    }
};

// A fixture with one card found and chosen at "Ezusb-0".
struct ReadyCardFixture : UsbCardFixture {
    explicit ReadyCardFixture(sim::SimUsbCardConfig config = {})
    {
        bus.attachCard(0, std::move(config));
        EXPECT_TRUE(FindUsbBoards(g).ok());
        bus.clearRequests();
        usb.requests.clear();
    }
};

} // namespace gyro::test
