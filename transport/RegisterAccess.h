#pragma once
// The only road from the windows to the sensor: register reads and writes by map
// index, framed for the sensor's SPI protocol and sent on the selected transport.
#include "Failure.h"
#include "GyroState.h"
#include "RegisterReading.h"

#include <cstdint>
#include <optional>

namespace gyro {

// Reads the register and gives back its reading, scaled for the sensor's current
// range, or NoAnswer when no answer came (no interface, a failed transfer). A
// write-only register is not read: NotReadable, no traffic. An index outside 0..296
// is a caller's fault: it throws std::out_of_range before any traffic.
RegisterRead ReadRegister(GyroState& g, int index);
// Writes bits 15..0 of value: high byte to address + 1 first, then the low byte.
// Returns false when the frames could not be sent (no interface, a failed transfer).
bool WriteRegister(GyroState& g, int index, std::int32_t value);

// One register read on the current link: 0..65535, or nothing when no answer came.
std::optional<std::int32_t> SpiReadWord(GyroState& g, std::int32_t address);
// Two write frames on the current link; false when they could not be sent.
bool SpiWriteBytes(GyroState& g, std::int32_t addressA, std::int32_t dataA, std::int32_t addressB,
                   std::int32_t dataB);

// The reading a raw answer of register `index` gives now. Shared by the single and
// the burst read.
RegisterReading ReadingOfAnswer(const SensorView& sensor, int index, std::int32_t raw);

// Reads Gpio_Ctrl, Alm_Ctrl and Msc_Ctrl into their shadows; a shadow whose read
// failed keeps its value. Returns false when any read failed.
bool ReadControlRegisters(GyroState& g);
enum class GyroScaleResult {
    Set,          // GyroScale follows the range bits of Sens_Avg
    NoAnswer,     // Sens_Avg gave no answer: the scale is as it was
    BadRangeBits, // Sens_Avg holds no valid range: the scale is as it was
};
struct GyroScaleSetting {
    GyroScaleResult result = GyroScaleResult::Set;
    Outcome outcome; // BadRangeBits: what the user is to be told
};
// Sets GyroScale, the Gyro_Out scale, from the range bits of Sens_Avg.
GyroScaleSetting SetGyroScale(GyroState& g);

} // namespace gyro
