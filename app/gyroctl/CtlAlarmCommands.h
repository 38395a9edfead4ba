#pragma once
// gyroctl's alarm commands: show both alarms and the indicator line, set one alarm,
// set the indicator line, over the same alarm procedures as the alarm window.
#include "CtlCommandTable.h"

namespace gyro {

int runAlarms(CtlContext& context);
int runAlarm(CtlContext& context);
int runIndicator(CtlContext& context);

} // namespace gyro
