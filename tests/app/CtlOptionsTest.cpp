#include "CtlOptions.h"

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
        {{"--interface", "serial", "dump"}, "serial"},
        {{"--interface"}, "--interface"},
        {{"--port", "37G", "dump"}, "37G"},
        {{"--port", "0", "dump"}, "0"},
        {{"--port", "12345", "dump"}, "12345"},
        {{"--bogus", "dump"}, "--bogus"},
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
