#pragma once
// The system's real version numbers. RtlGetVersion first: GetVersionEx answers a
// program without a compatibility manifest with Windows 8's numbers on any later
// Windows; it is the fallback where ntdll lacks the call.
#include "OsVersion.h"

namespace gyro {

class Win32OsVersion final : public OsVersion {
public:
    OsVersionInfo query() override;
};

} // namespace gyro
