#pragma once
// The real hardware backends of this system.
#include "BackendTable.h"

namespace gyro {

// nullptr and a message in `error` where this system has no hardware backends.
std::unique_ptr<PlatformSet> MakeNativePlatform(const BackendOptions& options, QString* error);

} // namespace gyro
