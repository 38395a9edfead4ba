#include "Win32Registry.h"

#include <windows.h>

#include <vector>

namespace gyro {

namespace {

// An open key, closed on every path out.
class OpenKey {
public:
    OpenKey(const QString& key, REGSAM access)
        : result_(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.toLocal8Bit().constData(), 0, access, &key_))
    {
    }
    ~OpenKey()
    {
        if (result_ == ERROR_SUCCESS)
            ::RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    LSTATUS result() const { return result_; }
    HKEY key() const { return key_; }

private:
    HKEY key_ = nullptr;
    LSTATUS result_;
};

} // namespace

std::optional<RegistryValue> Win32Registry::queryValue(const QString& key, const QString& valueName)
{
    const OpenKey open(key, KEY_QUERY_VALUE);
    if (open.result() != ERROR_SUCCESS)
        return std::nullopt;
    const QByteArray name = valueName.toLocal8Bit();
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(open.key(), name.constData(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> data(size + 1, 0); // room for a zero the value may lack
    if (::RegQueryValueExA(open.key(), name.constData(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;

    RegistryValue value;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        value.type = RegistryValue::Type::String;
        value.text = QString::fromLocal8Bit(reinterpret_cast<const char*>(data.data())); // up to the zero
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        value.type = RegistryValue::Type::Dword;
        value.number = static_cast<std::uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16)) |
                       (static_cast<std::uint32_t>(data[3]) << 24);
    }
    return value;
}

long Win32Registry::setValue(const QString& key, const QString& valueName, const RegistryValue& value)
{
    const OpenKey open(key, KEY_SET_VALUE);
    if (open.result() != ERROR_SUCCESS)
        return open.result();
    const QByteArray name = valueName.toLocal8Bit();
    switch (value.type) {
    case RegistryValue::Type::String: {
        const QByteArray text = value.text.toLocal8Bit(); // its terminating zero is written too
        return ::RegSetValueExA(open.key(), name.constData(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text.constData()),
                                static_cast<DWORD>(text.size() + 1));
    }
    case RegistryValue::Type::Dword: {
        const DWORD number = value.number;
        return ::RegSetValueExA(open.key(), name.constData(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

} // namespace gyro
