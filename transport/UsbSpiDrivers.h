#pragma once
// The four operations of the chosen USB SPI card: word transfer, word delay,
// SPI bits, and the read-back of both. Each gives back what failed: a failed
// request ("Error Writing SPI", ...) leaves the card not ready until the next
// search, and while it is not ready an operation does nothing and gives back a
// failure told before.
#include "Failure.h"
#include "GyroState.h"

#include <array>
#include <cstdint>

namespace gyro {

// The words of one card transfer, kept by whoever makes it (the USB link, the card
// debug window): those to send and the card's answers, numbered from 1 as the
// card numbers them (index 0 unused), and how many the last transfer carried.
struct UsbTransferWords {
    std::array<std::int32_t, UsbMaxWords + 1> UsbTxWords{};
    std::array<std::int32_t, UsbMaxWords + 1> UsbRxWords{};
    std::uint8_t UsbWordCount = 0;
};

// Sends UsbTxWords(1..count) and fills UsbRxWords(1..count); count 1..16. A count
// outside 1..16 is refused without touching the card. Succeeds when the card
// answered every word; a failure leaves UsbRxWords as they were.
Outcome UsbTransfer(GyroState& g, UsbTransferWords& words, int count);
Outcome UsbReadSpiSetup(GyroState& g);
// 0 becomes 1, also in the caller's variable.
Outcome UsbSetWordDelay(GyroState& g, std::uint8_t& delay);
Outcome UsbSetSpiBits(GyroState& g, std::uint8_t bits);

} // namespace gyro
