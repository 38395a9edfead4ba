#pragma once
// The one fixture of the window and logging tests: the program on the simulated
// platform (sensor, USB card and parallel port on simulated time), a recording UI
// host, the delay loop calibrated as a PC that turns it once a nanosecond, and the
// frames the sensor received. Header-only: its users link the transport and the
// simulation already.
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "RecordingUiHost.h"
#include "SimPlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace gyro::test {

// Addresses of the simulated sensor's registers (low byte).
inline constexpr int SupplyAddress = 0x02;
inline constexpr int GyroAddress = 0x04;
inline constexpr int AuxAddress = 0x0A;
inline constexpr int TempAddress = 0x0C;
inline constexpr int AngleAddress = 0x0E;
inline constexpr int GyroOfstAddress = 0x14;
inline constexpr int AuxDacAddress = 0x30;
inline constexpr int GpioCtrlAddress = 0x32;
inline constexpr int MscCtrlAddress = 0x34;
inline constexpr int SmplPrdAddress = 0x36;
inline constexpr int SensAvgAddress = 0x38;
inline constexpr int StatusAddress = 0x3C;
// Bit 15 of an output register: a sample not read before.
inline constexpr std::uint16_t NewData = 0x8000;

class SimProgramTest : public ::testing::Test {
protected:
    explicit SimProgramTest(sim::SimOptions options = {}) : sim(options)
    {
        SetInterfaceDefaults(g);
        g.DelayCalibrated = true;
        g.LoopsPer10us = 10000; // 10'000 turns of 1 ns make 10 us
    }

    // Chooses the interface and brings it up as the windows do (the parallel port
    // at PortAddress); the frame trace then starts empty. False when it failed.
    bool useInterface(InterfaceKind kind)
    {
        ChooseInterface(g, kind);
        const bool up =
            TellOpening(g.ui, kind == InterfaceKind::UsbCard ? OpenUsbCard(g) : OpenParallelPort(g));
        sim.sensor().clearTrace();
        return up;
    }

    // The frames the sensor received since the last call, in order.
    std::vector<std::uint16_t> framesOut()
    {
        std::vector<std::uint16_t> out;
        for (const auto& frame : sim.sensor().trace())
            out.push_back(frame.out);
        sim.sensor().clearTrace();
        return out;
    }
    // The same, the write frames alone.
    std::vector<std::uint16_t> writesOut()
    {
        std::vector<std::uint16_t> writes;
        for (std::uint16_t frame : framesOut()) {
            if ((frame & 0x8000) != 0)
                writes.push_back(frame);
        }
        return writes;
    }
    std::uint16_t sensorWord(int address) { return sim.sensor().registerWord(address); }

    sim::SimPlatform sim;
    RecordingUiHost ui;
    GyroState g{sim.platform(), ui};
};

} // namespace gyro::test
