// Systems without hardware backends in this build: only the simulation runs.
#include "NativePlatform.h"

namespace gyro {

std::unique_ptr<PlatformSet> MakeNativePlatform(const BackendOptions&, QString* error)
{
    if (error != nullptr)
        *error = QStringLiteral("This build has no hardware backends for this system; use --simulate.");
    return nullptr;
}

} // namespace gyro
