#include "InMemoryRegistry.h"

namespace gyro {

namespace {
QString pathOf(const QString& key, const QString& valueName)
{
    // Registry keys and value names compare without regard to case.
    return (key + QLatin1Char('\\') + valueName).toLower();
}
} // namespace

std::optional<RegistryValue> InMemoryRegistry::queryValue(const QString& key, const QString& valueName)
{
    const auto it = values_.constFind(pathOf(key, valueName));
    if (it == values_.constEnd())
        return std::nullopt;
    return *it;
}

long InMemoryRegistry::setValue(const QString& key, const QString& valueName, const RegistryValue& value)
{
    values_.insert(pathOf(key, valueName), value);
    return 0;
}

} // namespace gyro
