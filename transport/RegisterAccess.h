#pragma once
// The only road from the windows to the sensor: register reads and writes by map
// index, framed for the sensor's SPI protocol and sent on the selected transport.
#include "GyroState.h"

#include <cstdint>
#include <optional>

namespace gyro {

// Reads the register into the read results (RegWord, RegValue, flags) and returns
// true. When no answer came (no interface, a failed transfer) it returns false and
// leaves RegReadFailed true and every other result 0, so a failed read can never pass
// for a reading. An index outside 0..296 is a caller's fault: it throws
// std::out_of_range before any traffic; a write-only register is not read (false,
// results as they were).
bool ReadRegister(GyroState& g, int index);
// Writes bits 15..0 of value: high byte to address + 1 first, then the low byte.
// Returns false when the frames could not be sent (no interface, a failed transfer).
bool WriteRegister(GyroState& g, int index, std::int32_t value);

// One register read on the current transport: 0..65535, or nothing when no answer came.
std::optional<std::int32_t> SpiReadWord(GyroState& g, std::int32_t address);
// Two write frames on the current transport; false when they could not be sent.
bool SpiWriteBytes(GyroState& g, std::int32_t addressA, std::int32_t dataA, std::int32_t addressB,
                   std::int32_t dataB);

// The read results a raw answer of entry `e` leaves, as a single read leaves them:
// the flags only where the entry has them. Shared by the single and the burst read.
void StoreReadResults(GyroState& g, const RegisterEntry& e, std::int32_t raw);
// Every read result 0, as a read that brought no answer leaves them.
void ClearReadResults(GyroState& g);

// Reads Gpio_Ctrl, Alm_Ctrl and Msc_Ctrl into their shadows; a shadow whose read
// failed keeps its value. Returns false when any read failed.
bool ReadControlRegisters(GyroState& g);
// Sets the Gyro_Out scale from the range bits of Sens_Avg. A failed read of
// Sens_Avg leaves the scale as it was and returns false.
bool SetGyroScale(GyroState& g);

} // namespace gyro
