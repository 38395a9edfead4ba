#pragma once
// The links register access can use, and the one place that turns the chosen
// interface into a link.
#include "GyroState.h"
#include "SpiLink.h"

#include <memory>

namespace gyro {

// The link for the interface the settings name now; made afresh when the choice changed.
SpiLink& CurrentLink(GyroState& g);

// A link for the interface the settings name: the USB SPI card, the parallel port,
// or none (every read and write fails without traffic).
std::unique_ptr<SpiLink> MakeSpiLink(GyroState& g);

} // namespace gyro
