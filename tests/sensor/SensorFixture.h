#pragma once
// A state on the simulated platform with the USB card up, for the procedures in
// sensor/ that talk to the simulated sensor.
#include "GyroState.h"
#include "RecordingUiHost.h"
#include "SimUsbBringUp.h"

#include <gtest/gtest.h>
#include <vector>

namespace gyro::test {

struct SimSensorFixture : ::testing::Test {
    sim::SimPlatform sim;
    RecordingUiHost ui;
    GyroState g{sim.platform(), ui};

    SimSensorFixture() { BringUpSimulatedUsbCard(g, sim); }

    std::uint16_t word(int address) { return sim.sensor().registerWord(address); }
    void setWord(int address, std::uint16_t value) { sim.sensor().setRegisterWord(address, value); }

    // The write frames the sensor received, in order.
    std::vector<std::uint16_t> writeFrames()
    {
        std::vector<std::uint16_t> frames;
        for (const auto& f : sim.sensor().trace()) {
            if (f.out & 0x8000)
                frames.push_back(f.out);
        }
        return frames;
    }
};

} // namespace gyro::test
