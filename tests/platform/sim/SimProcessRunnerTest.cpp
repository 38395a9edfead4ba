// The simulated installer: what it leaves in the registry for each behaviour.
#include "SimProcessRunner.h"
#include "InMemoryRegistry.h"
#include "PortDriverService.h"

#include <gtest/gtest.h>

namespace gyro::sim {
namespace {

std::optional<RegistryValue> startOf(Registry& registry)
{
    return registry.queryValue(PortDriverServiceKey, QStringLiteral("Start"));
}

TEST(SimProcessRunner, InstallerLeavesOnDemandStartByDefault)
{
    InMemoryRegistry registry;
    SimProcessRunner runner(registry);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("\"x\\temp.bat\"")), 0);
    const auto start = startOf(registry);
    ASSERT_TRUE(start.has_value());
    EXPECT_EQ(start->type, RegistryValue::Type::Dword);
    EXPECT_EQ(start->number, 3u);

    runner.setStartValueAfterInstall(1);
    runner.runAndWait(QStringLiteral("again"));
    EXPECT_EQ(startOf(registry)->number, 1u);
    EXPECT_EQ(runner.commandLines(), QStringList({"\"x\\temp.bat\"", "again"}));
}

TEST(SimProcessRunner, FailingOrUnstartableInstallerLeavesTheRegistry)
{
    InMemoryRegistry registry;
    SimProcessRunner runner(registry);
    runner.setBehaviour(SimProcessRunner::Behaviour::InstallFails);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("a")), 1);
    runner.setBehaviour(SimProcessRunner::Behaviour::CannotStart);
    EXPECT_EQ(runner.runAndWait(QStringLiteral("b")), std::nullopt);
    EXPECT_FALSE(startOf(registry).has_value());
    EXPECT_EQ(runner.commandLines(), QStringList({"a", "b"}));
}

} // namespace
} // namespace gyro::sim
