#pragma once
// The card list of the card selection and card setup windows: one row per device
// name "Ezusb-0".."Ezusb-3" with its option button and the boxes describing the card.
#include "GyroState.h"

#include <array>
#include <functional>

class QLineEdit;
class QRadioButton;

namespace gyro {

struct UsbCardRow {
    QRadioButton* option = nullptr;
    QLineEdit* type = nullptr;        // card type and board byte; setup window only
    QLineEdit* descriptor0 = nullptr; // the card's first string descriptor
    QLineEdit* descriptor1 = nullptr; // the card's second string descriptor; setup window only
    QLineEdit* revision = nullptr;    // firmware revision, "0.0"
    QLineEdit* speed = nullptr;       // USB version, "0.0"
};
using UsbCardRows = std::array<UsbCardRow, 4>;

// The search: empties and disables every row, runs FindUsbBoards, shows and enables
// each card present and selects the chosen one through `select(k)`, or "None"
// through `select(4)` when no card was chosen. `select` checks the option button
// and runs the window's option handler.
void SearchUsbCards(GyroState& g, const UsbCardRows& rows, const std::function<void(int)>& select);

// Shows the cards of the last search again, without searching.
void ShowUsbCards(const UsbCardRecords& cards, const UsbCardRows& rows);

// The card type and its board byte: "FIFO4 - 0".
QString UsbCardTypeText(const UsbBoardInfo& board);

} // namespace gyro
