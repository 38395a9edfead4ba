#pragma once
// Printing a window as it looks: an image of it on one page.
class QPrinter;
class QWidget;

namespace gyro {

// Draws an image of `window` on one page of `printer`, as large as the printable
// area allows with its proportions kept. False when the printer could not start.
bool PrintWindowImage(QWidget& window, QPrinter& printer);

} // namespace gyro
