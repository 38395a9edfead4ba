#pragma once
// A configuration window's bench: the simulated platform with the USB card up,
// a main window to open at, and the sensor's register words at hand.
#include "../link/WindowBench.h"
#include "SimUsbBringUp.h"

namespace gyro::test {

struct SimWindowBench : WindowBench {
    SimWindowBench() { BringUpSimulatedUsbCard(g, sim); }

    std::uint16_t word(int address) { return sim.sensor().registerWord(address); }
    void setWord(int address, std::uint16_t value) { sim.sensor().setRegisterWord(address, value); }
    std::vector<std::uint16_t> framesOut()
    {
        std::vector<std::uint16_t> frames;
        for (const auto& f : sim.sensor().trace())
            frames.push_back(f.out);
        sim.sensor().clearTrace();
        return frames;
    }
};

} // namespace gyro::test
