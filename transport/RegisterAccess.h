#pragma once
// The only road from the windows to the sensor: register reads and writes by map
// index, framed for the sensor's SPI protocol and sent on the selected transport.
#include "GyroState.h"

#include <cstdint>

namespace gyro {

// Reads the register into the read results (RegWord, RegValue, flags). An index
// outside 0..296 is a caller's fault: it throws std::out_of_range before any traffic.
void ReadRegister(GyroState& g, int index);
// Writes bits 15..0 of value: high byte to address + 1 first, then the low byte.
void WriteRegister(GyroState& g, int index, std::int32_t value);

// One register read on the current transport: 0..65535, 0 with no interface.
std::int32_t SpiReadWord(GyroState& g, std::int32_t address);
// Two write frames on the current transport.
void SpiWriteBytes(GyroState& g, std::int32_t addressA, std::int32_t dataA, std::int32_t addressB,
                   std::int32_t dataB);

// Reads Gpio_Ctrl, Alm_Ctrl and Msc_Ctrl into their shadows.
void ReadControlRegisters(GyroState& g);
// Sets the Gyro_Out scale from the range bits of Sens_Avg.
void SetGyroScale(GyroState& g);

} // namespace gyro
