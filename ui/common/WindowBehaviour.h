#pragma once
// Window behaviour the task windows share: where they open, and option buttons
// selected from code.
#include <functional>
#include <optional>

class QAbstractButton;
class QWidget;

namespace gyro {

// Puts the window's top-left corner on the main window's top-left corner; leaves
// it where it is when there is no main window.
void PlaceAtMainWindowCorner(QWidget& window, const QWidget* mainWindow);

// Selects an option button from code the way a click does: checks it and runs its
// click handler (also when it was checked already).
void SelectOption(QAbstractButton& button, const std::function<void()>& clickHandler);

// Shows a bit the sensor holds on its pair of option buttons without running
// either's handler: `whenSet` selected for 1, `whenClear` for 0, neither when the
// bit is not known (the register did not answer).
void ShowOptionPair(QAbstractButton& whenSet, QAbstractButton& whenClear, std::optional<bool> bit);

// Hex words and addresses line up digit under digit in the system's fixed-pitch font.
void UseFixedPitchFont(QWidget& widget);

} // namespace gyro
