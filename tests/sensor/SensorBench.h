#pragma once
// A state on the simulated platform with the USB card brought up, for the sensor
// procedures: frames in the sensor's trace, messages in the recording UI host.
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"

#include <gtest/gtest.h>
#include <vector>

namespace gyro::test {

struct SensorTest : ::testing::Test {
    SensorTest()
    {
        SetInterfaceDefaults(g);
        InitRegisterMap(g);
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10000; // 1 ns a turn on the simulated PC: 10 us per unit
        g.InterfaceType = 2;
        OpenUsbCard(g);
        sim.sensor().clearTrace();
    }

    // The frames sent since the last call.
    std::vector<std::uint16_t> framesOut()
    {
        std::vector<std::uint16_t> out;
        for (const auto& frame : sim.sensor().trace())
            out.push_back(frame.out);
        sim.sensor().clearTrace();
        return out;
    }

    sim::SimPlatform sim;
    RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
};

} // namespace gyro::test
