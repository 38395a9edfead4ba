#pragma once
// A registry kept in memory for the run. Used where the system has no registry:
// the port driver's service entry then lives only as long as the program.
#include "Registry.h"

#include <QHash>

namespace gyro {

class InMemoryRegistry final : public Registry {
public:
    std::optional<RegistryValue> queryValue(const QString& key, const QString& valueName) override;
    long setValue(const QString& key, const QString& valueName, const RegistryValue& value) override;

private:
    QHash<QString, RegistryValue> values_; // "key\valueName" -> value
};

} // namespace gyro
