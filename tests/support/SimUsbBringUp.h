#pragma once
// The state the sensor procedures and configuration windows are tested from: the
// simulated USB card up, waits on simulated time, and an empty frame trace.
// Header-only: its users link the transport and the simulation already.
#include "GyroState.h"
#include "InterfaceBringUp.h"
#include "SimPlatform.h"

namespace gyro::test {

inline void BringUpSimulatedUsbCard(GyroState& g, sim::SimPlatform& sim)
{
    SetInterfaceDefaults(g);
    g.DelayCalibrated = true;
    g.LoopsPer10us = 10000; // 1 ns per simulated loop turn
    g.InterfaceType = 2;
    TellOpening(g.ui, OpenUsbCard(g));
    sim.sensor().clearTrace();
}

} // namespace gyro::test
