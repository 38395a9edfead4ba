#pragma once
// SPI over the PC parallel port: chip select, clock and data out on the data
// register (bits 0, 1, 2), data in on status bit 6, one line change per port write.
// Register access reaches these through the parallel port's link (SpiLinks.h).
#include "GyroState.h"

#include <cstdint>

namespace gyro {

// Sends one frame, most significant bit first (bits 15..0 of word).
void PortSpiWrite(GyroState& g, std::int32_t word);
// Sends the read frame for address and clocks in the answer: 0..65535.
std::int32_t PortSpiRead(GyroState& g, std::int32_t address);
// Sends one frame and clocks in the answer shifted out meanwhile: 0..65535.
// Bursts of reads go out this way.
std::int32_t PortSpiExchange(GyroState& g, std::int32_t word);
// Puts the port lines into their idle state.
void PortSpiInit(GyroState& g);

} // namespace gyro
