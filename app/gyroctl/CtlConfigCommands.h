#pragma once
// The sensor configuration and calibration commands of gyroctl, over the same
// procedures as the operational control and calibration windows. Each prints
// NAME<TAB>VALUE lines of what the sensor holds after the command.
#include "CtlCommandTable.h"

#include <cstdint>
#include <optional>

namespace gyro {

// Operational settings: rate [SPS], filter [--taps N] [--range 80|160|320]
// [--bandwidth 50|300], dac [VOLTS], flash.
int runRate(CtlContext& context);
// Writes the sample period for `rate` as the rate command does (the USB card's
// low-power limit noted on stderr) and returns the Smpl_Prd the sensor holds after;
// nothing when it did not answer (said on stderr).
std::optional<std::int32_t> SetCtlSampleRate(CtlContext& context, double rate);
int runFilter(CtlContext& context);
int runDac(CtlContext& context);
int runFlash(CtlContext& context);

// Calibration: null, factory-cal, offset [DEG], bias SECONDS [--apply].
int runNull(CtlContext& context);
int runFactoryCal(CtlContext& context);
int runOffset(CtlContext& context);
int runBias(CtlContext& context);

} // namespace gyro
