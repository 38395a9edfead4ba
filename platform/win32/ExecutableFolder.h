#pragma once
// The folder of the running program's executable, known before any Qt
// application object exists (GetModuleFileNameW).
#include <QString>

namespace gyro {

QString ExecutableFolder();

} // namespace gyro
