// The registry backend against the system's registry, under a key of the test's
// own below HKEY_LOCAL_MACHINE, removed afterwards.
#include "Win32Registry.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace gyro {
namespace {

const QString TestKey = QStringLiteral("SOFTWARE\\GyroEvalTests\\Registry");

struct Win32RegistryTest : ::testing::Test {
    Win32RegistryTest()
    {
        HKEY key = nullptr;
        created = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, TestKey.toLatin1().constData(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (created) {
            const BYTE raw[] = {1, 2, 3};
            ::RegSetValueExA(key, "Binary", 0, REG_BINARY, raw, sizeof raw);
            ::RegCloseKey(key);
        }
    }
    ~Win32RegistryTest() override { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestKey.toLatin1().constData()); }

    bool created = false;
    Win32Registry registry;
};

TEST_F(Win32RegistryTest, WrittenValuesReadBackWithTheirType)
{
    ASSERT_TRUE(created);
    RegistryValue text;
    text.type = RegistryValue::Type::String;
    text.text = QStringLiteral("3");
    RegistryValue number;
    number.type = RegistryValue::Type::Dword;
    number.number = 0x80000002u; // every byte of the 32 bits counts

    struct Row {
        const char* name;
        const RegistryValue& value;
    };
    for (const Row& row : {Row{"Text", text}, Row{"Number", number}}) {
        ASSERT_EQ(registry.setValue(TestKey, QLatin1String(row.name), row.value), ERROR_SUCCESS) << row.name;
        const auto read = registry.queryValue(TestKey, QLatin1String(row.name));
        ASSERT_TRUE(read) << row.name;
        EXPECT_EQ(read->type, row.value.type) << row.name;
        EXPECT_EQ(read->text, row.value.text) << row.name; // without the terminating zero
        EXPECT_EQ(read->number, row.value.number) << row.name;
    }
}

TEST_F(Win32RegistryTest, MissingKeysAndValuesAndOtherTypes)
{
    ASSERT_TRUE(created);
    EXPECT_FALSE(registry.queryValue(TestKey, QStringLiteral("None")));
    EXPECT_FALSE(registry.queryValue(TestKey + QStringLiteral("\\Missing"), QStringLiteral("Start")));
    const auto binary = registry.queryValue(TestKey, QStringLiteral("Binary"));
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->type, RegistryValue::Type::Other);

    // Writing opens an existing key only, and says why it failed.
    RegistryValue number;
    number.type = RegistryValue::Type::Dword;
    EXPECT_EQ(registry.setValue(TestKey + QStringLiteral("\\Missing"), QStringLiteral("Start"), number),
              ERROR_FILE_NOT_FOUND);
}

} // namespace
} // namespace gyro
