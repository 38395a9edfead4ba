#include "CtlOptions.h"
#include "ProgramVersion.h"

#include <gtest/gtest.h>

using namespace gyro;

namespace {
std::optional<CtlOptions> parse(const QStringList& args, QString* error)
{
    return ParseCtlArguments(args, error);
}
} // namespace

TEST(CtlOptions, OptionsBeforeTheCommandAndEverythingAfterItAsArguments)
{
    QString error;
    const auto o = parse(
        {"--simulate", "--interface", "usb", "--spi-trace", "t.txt", "write", "Smpl_Prd", "0A"}, &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_TRUE(o->simulate);
    EXPECT_EQ(o->interfaceType, 2);
    EXPECT_EQ(o->spiTracePath, "t.txt");
    EXPECT_EQ(o->command, "write");
    EXPECT_EQ(o->arguments, QStringList({"Smpl_Prd", "0A"}));
    EXPECT_FALSE(o->portAddress.has_value());

    const auto p =
        parse({"--interface", "parallel", "--port", "3bc", "read", "Gyro_Out", "--simulate"}, &error);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->interfaceType, 1);
    EXPECT_EQ(p->portAddress, 0x3BC);
    EXPECT_FALSE(p->simulate); // after the command it is a register name, not an option
    EXPECT_EQ(p->arguments, QStringList({"Gyro_Out", "--simulate"}));
}

TEST(CtlOptions, UsageErrorsNameTheProblem)
{
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{}, "no command"},
        {{"--interface", "serial", "dump"}, "usb, parallel or none"},
        {{"--interface"}, "--interface"},
        {{"--port", "37G", "dump"}, "37G"},
        {{"--port", "0", "dump"}, "0"},
        {{"--port", "12345", "dump"}, "12345"},
        {{"--port", "FFFE", "dump"}, "FFFE"}, // base + 2 beyond 16 bits
        {{"--port", "ffff", "dump"}, "FFFF"},
        {{"--sim-fault", "card-stops:3", "dump"}, "--simulate"},
        {{"--sim-still", "dump"}, "--sim-still needs --simulate"},
        {{"--simulate", "--sim-fault", "melt", "dump"}, "melt"},
        {{"--simulate", "--sim-fault", "card-stops:-1", "dump"}, "card-stops:-1"},
        {{"--simulate", "--sim-fault", "unplug:3", "dump"}, "unplug:3"},
        {{"--simulate", "--sim-fault", "request:0x1234", "dump"}, "0x1234"},
        {{"--sim-bus-timing", "dump"}, "--simulate"},
        {{"--sim-full-speed", "dump"}, "--simulate"},
        {{"--bogus", "dump"}, "--bogus"},
        {{"--spi-trace", "", "dump"}, "--spi-trace needs a file name"},
        {{"frobnicate"}, "frobnicate"},
        {{"read"}, "read"},
        {{"write", "Smpl_Prd"}, "write"},
        {{"dump", "extra"}, "dump"},
    };
    for (const auto& [args, named] : cases) {
        QString error;
        EXPECT_FALSE(ParseCtlArguments(args, &error)) << args.join(' ').toStdString();
        EXPECT_TRUE(error.contains(named)) << error.toStdString();
    }
    QString help = "x";
    EXPECT_FALSE(ParseCtlArguments({"--help"}, &help));
    EXPECT_TRUE(help.isEmpty());
}

// --version before the command answers with the version; after it, it is the
// command's argument like any other word.
TEST(CtlOptions, VersionBeforeTheCommandIsAskedForAfterItIsAnArgument)
{
    for (const QStringList& args :
         {QStringList{"--version"}, QStringList{"--simulate", "--version", "read"}}) {
        QString error = "x";
        bool asked = false;
        EXPECT_FALSE(ParseCtlArguments(args, &error, &asked));
        EXPECT_TRUE(asked) << args.join(' ').toStdString();
        EXPECT_TRUE(error.isEmpty());
    }
    QString error;
    bool asked = false;
    const auto o = ParseCtlArguments({"read", "--version"}, &error, &asked);
    ASSERT_TRUE(o);
    EXPECT_FALSE(asked);
    EXPECT_EQ(o->arguments, QStringList{"--version"});
    EXPECT_EQ(CtlVersionText(), QStringLiteral("gyroctl %1\n").arg(QLatin1String(ProgramVersion)));
    EXPECT_TRUE(CtlUsageText().contains("--version"));
}

TEST(CtlOptions, SimulatedFaultsAreRepeatableAndKeepTheirNumbers)
{
    QString error;
    const auto o = parse({"--simulate", "--port", "fffd", "--sim-fault", "card-stops:7", "--sim-fault",
                          "unplug:2:3", "--sim-fault", "request:0x222051", "--sim-fault", "port-unclaimable",
                          "--sim-bus-timing", "--sim-full-speed", "dump"},
                         &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_TRUE(o->simBusTiming);
    EXPECT_TRUE(o->simFullSpeed);
    EXPECT_EQ(o->portAddress, -3); // 0xFFFD, the highest base whose three registers fit
    using Kind = sim::SimFault::Kind;
    ASSERT_EQ(o->simFaults.size(), 4u);
    EXPECT_EQ(o->simFaults[0].kind, Kind::CardStops);
    EXPECT_EQ(o->simFaults[0].transfers, 7);
    EXPECT_EQ(o->simFaults[1].kind, Kind::Unplug);
    EXPECT_EQ(o->simFaults[1].transfers, 2);
    EXPECT_EQ(o->simFaults[1].failedOpens, 3);
    EXPECT_EQ(o->simFaults[2].kind, Kind::RequestFails);
    EXPECT_EQ(o->simFaults[2].requestCode, 0x222051u);
    EXPECT_EQ(o->simFaults[3].kind, Kind::PortUnclaimable);
}

TEST(CtlOptions, StrictHexTakesOneToFourDigits)
{
    EXPECT_EQ(ParseStrictHex("0A"), 0x0A);
    EXPECT_EQ(ParseStrictHex("0xffff"), 0xFFFF);
    EXPECT_EQ(ParseStrictHex(" 1f "), 0x1F);
    EXPECT_FALSE(ParseStrictHex(""));
    EXPECT_FALSE(ParseStrictHex("12345"));
    EXPECT_FALSE(ParseStrictHex("0G"));
    EXPECT_FALSE(ParseStrictHex("&H10"));
    EXPECT_FALSE(ParseStrictHex("-1"));
}
