#pragma once
// Values under the local-machine hive of the system registry.
// Backends: in-memory (every system but Windows), Win32.
#include <QString>
#include <cstdint>
#include <optional>

namespace gyro {

struct RegistryValue {
    enum class Type { String = 1, Dword = 4, Other = 0 };
    Type type = Type::Other;
    QString text;             // for String
    std::uint32_t number = 0; // for Dword
};

class Registry {
public:
    virtual ~Registry() = default;
    // nullopt when the key or the value does not exist or cannot be read.
    virtual std::optional<RegistryValue> queryValue(const QString& key, const QString& valueName) = 0;
    // Returns the system's result code, 0 on success.
    virtual long setValue(const QString& key, const QString& valueName, const RegistryValue& value) = 0;
};

} // namespace gyro
