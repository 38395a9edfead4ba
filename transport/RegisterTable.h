#pragma once
// The register table: every map entry with its address, raw word and scaled
// value, as the register information window shows it and the dump file holds it.
#include "GyroState.h"

#include <QString>

namespace gyro {

// Reads every entry 0..LastRegisterIndex and builds the table; lines end in CR LF.
// An unreadable entry repeats the word and value the previous read left. A read
// that brought no answer shows "----" in both columns, never a number.
QString BuildRegisterTableText(GyroState& g);

} // namespace gyro
