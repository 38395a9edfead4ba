#pragma once
// Values under HKEY_LOCAL_MACHINE through RegOpenKeyExA, RegQueryValueExA,
// RegSetValueExA and RegCloseKey. Key and value names are in the system's ANSI
// code page, as those calls take them.
#include "Registry.h"

namespace gyro {

class Win32Registry final : public Registry {
public:
    std::optional<RegistryValue> queryValue(const QString& key, const QString& valueName) override;
    // Opens an existing key only, as the service's key is made by its installer.
    long setValue(const QString& key, const QString& valueName, const RegistryValue& value) override;
};

} // namespace gyro
