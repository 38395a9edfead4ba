#pragma once
// Faults of the simulated platform that a user can ask for on the command line
// (--sim-fault KIND), so that each hardware failure and its message can be seen:
//   card-stops:N      the USB card stops answering after N SPI transfers
//   unplug:N:M        the USB card is unplugged after N SPI transfers and plugged
//                     back once M attempts to open it have failed (each card
//                     search is one attempt; 0: the next search finds it)
//   request:CODE      every driver request with that code fails (0x222000 pipe
//                     table, 0x222004 device descriptor, 0x222044 string
//                     descriptor, 0x222051 pipe transfer)
//   port-unclaimable  the parallel port opens but cannot be claimed
#include <QString>
#include <cstdint>
#include <optional>

namespace gyro::sim {

struct SimFault {
    enum class Kind { CardStops, Unplug, RequestFails, PortUnclaimable };
    Kind kind = Kind::CardStops;
    int transfers = 0;             // card-stops, unplug: SPI transfers that still go through
    int failedOpens = 0;           // unplug: failed attempts to open the card before it is back
    std::uint32_t requestCode = 0; // request: the driver request code that fails
};

// Reads one KIND as written above. nullopt and a message naming the problem in
// `error` for an unknown kind or a bad number.
std::optional<SimFault> ParseSimFault(const QString& text, QString* error);

// The list of kinds for a usage text, each line indented by `indent` blanks and
// the descriptions wrapped so that no line reaches column `width`.
QString SimFaultKindsText(int indent = 2, int width = 80);

} // namespace gyro::sim
