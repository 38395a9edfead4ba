#include "EvalOptions.h"

#include <gtest/gtest.h>

using namespace gyro;

namespace {
bool parse(QStringList arguments, EvalOptions& options, QString* error)
{
    arguments.prepend(QStringLiteral("gyroeval"));
    return ParseEvalOptions(arguments, options, error);
}
} // namespace

TEST(EvalOptions, NoArgumentsMeanRealHardwareAndNoTrace)
{
    EvalOptions options;
    QString error;
    ASSERT_TRUE(parse({}, options, &error));
    EXPECT_FALSE(options.simulate);
    EXPECT_FALSE(options.startReading);
    EXPECT_FALSE(options.backends.rawPortAccess);
    EXPECT_EQ(options.backends.seed, 1u);
    EXPECT_TRUE(options.spiTracePath.isEmpty());
    EXPECT_TRUE(options.helpText.isEmpty());
}

TEST(EvalOptions, EveryOptionIsRead)
{
    EvalOptions options;
    QString error;
    ASSERT_TRUE(parse({"--simulate", "--seed", "7", "--spi-trace", "frames.txt", "--start-reading",
                       "--raw-port-access", "--sim-fault", "unplug:5:1", "--sim-fault", "port-unclaimable",
                       "--sim-still"},
                      options, &error))
        << error.toStdString();
    ASSERT_EQ(options.backends.simFaults.size(), 2u);
    EXPECT_EQ(options.backends.simFaults[0].kind, sim::SimFault::Kind::Unplug);
    EXPECT_EQ(options.backends.simFaults[0].failedOpens, 1);
    EXPECT_EQ(options.backends.simFaults[1].kind, sim::SimFault::Kind::PortUnclaimable);
    EXPECT_TRUE(options.simulate);
    EXPECT_TRUE(options.startReading);
    EXPECT_TRUE(options.backends.rawPortAccess);
    EXPECT_EQ(options.backends.seed, 7u);
    EXPECT_TRUE(options.backends.simStill);
    EXPECT_EQ(options.spiTracePath, "frames.txt");
}

TEST(EvalOptions, WrongInputIsRefusedWithAMessage)
{
    for (const QStringList& arguments :
         {QStringList{"--seed", "x"}, QStringList{"--bogus"}, QStringList{"extra"},
          QStringList{"--spi-trace"}, QStringList{"--sim-fault", "card-stops:2"}, // without --simulate
          QStringList{"--simulate", "--sim-fault", "flood"}, QStringList{"--sim-still"}}) {
        EvalOptions options;
        QString error;
        EXPECT_FALSE(parse(arguments, options, &error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(EvalOptions, HelpAnswersWithTheOptionList)
{
    EvalOptions options;
    QString error;
    ASSERT_TRUE(parse({"--help"}, options, &error));
    EXPECT_TRUE(options.helpText.contains("--simulate"));
    EXPECT_TRUE(options.helpText.contains("--start-reading"));
}
