#pragma once
// The configuration windows' shared looks: an "Update" button turns yellow while
// its inputs hold a change not yet written, and back to the button-face colour
// when its write runs; a busy marker line is shown while a command takes its time.
#include "SensorCommands.h"
#include "UiHost.h"

class QWidget;

namespace gyro {

void MarkPending(QWidget* updateButton);
void ClearPending(QWidget* updateButton);
bool IsPending(const QWidget* updateButton);

// A marker that shows `line`, yields once through the UI host so it is painted,
// and hides it afterwards.
BusyMarker LineBusyMarker(QWidget* line, UiHost& ui);

} // namespace gyro
