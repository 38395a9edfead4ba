#pragma once
// The four operations of the chosen USB SPI card: word transfer, word delay,
// SPI bits, and the read-back of both. Each does nothing while the card is not ready.
#include "GyroState.h"

#include <cstdint>

namespace gyro {

// Sends UsbTxWords(1..count) and fills UsbRxWords(1..count); count 1..16. A count
// outside 1..16 is refused without touching the card. Returns true when the card
// answered every word; false leaves UsbRxWords as they were.
bool UsbTransfer(GyroState& g, int count);
void UsbReadSpiSetup(GyroState& g);
// 0 becomes 1, also in the caller's variable.
void UsbSetWordDelay(GyroState& g, std::uint8_t& delay);
void UsbSetSpiBits(GyroState& g, std::uint8_t bits);

} // namespace gyro
