#pragma once
// The four operations of the chosen USB SPI card: word transfer, word delay,
// SPI bits, and the read-back of both. Each gives back what failed: a failed
// request ("Error Writing SPI", ...) leaves the card not ready until the next
// search, and while it is not ready an operation does nothing and gives back a
// failure told before.
#include "Failure.h"
#include "GyroState.h"

#include <cstdint>

namespace gyro {

// Sends UsbTxWords(1..count) and fills UsbRxWords(1..count); count 1..16. A count
// outside 1..16 is refused without touching the card. Succeeds when the card
// answered every word; a failure leaves UsbRxWords as they were.
Outcome UsbTransfer(GyroState& g, int count);
Outcome UsbReadSpiSetup(GyroState& g);
// 0 becomes 1, also in the caller's variable.
Outcome UsbSetWordDelay(GyroState& g, std::uint8_t& delay);
Outcome UsbSetSpiBits(GyroState& g, std::uint8_t bits);

} // namespace gyro
