#include "EvalOptions.h"
#include "ProgramVersion.h"

#include <QProcess>
#include <optional>
#include <vector>

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
                       "--sim-still", "--burst-readout", "--sim-bus-timing", "--sim-full-speed"},
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
    EXPECT_TRUE(options.burstReadout);
    EXPECT_TRUE(options.backends.simBusTiming);
    EXPECT_TRUE(options.backends.simFullSpeed);
}

TEST(EvalOptions, WrongInputIsRefusedWithAMessage)
{
    for (const QStringList& arguments :
         {QStringList{"--seed", "x"}, QStringList{"--bogus"}, QStringList{"extra"},
          QStringList{"--spi-trace"}, QStringList{"--sim-fault", "card-stops:2"}, // without --simulate
          QStringList{"--simulate", "--sim-fault", "flood"}, QStringList{"--sim-still"},
          QStringList{"--sim-bus-timing"}, QStringList{"--sim-full-speed"},
          QStringList{"--interface", "serial"}, QStringList{"--interface", "USB"},
          QStringList{"--interface"}}) {
        EvalOptions options;
        QString error;
        EXPECT_FALSE(parse(arguments, options, &error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

// The names gyroctl takes, as the values InterfaceType holds; none given keeps CommPort.cfg's.
TEST(EvalOptions, InterfaceNamesTheInterfaceOfThisRun)
{
    const std::vector<std::pair<QStringList, std::optional<std::int16_t>>> rows = {
        {{"--interface", "usb"}, 2},
        {{"--interface", "parallel"}, 1},
        {{"--interface=none"}, 0},
        {{"--simulate"}, std::nullopt},
    };
    for (const auto& [arguments, expected] : rows) {
        EvalOptions options;
        QString error;
        ASSERT_TRUE(parse(arguments, options, &error)) << error.toStdString();
        EXPECT_EQ(options.interfaceType, expected) << arguments.join(' ').toStdString();
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

// --version answers with the project's version and starts nothing, wherever it stands.
TEST(EvalOptions, VersionAnswersWithTheProjectVersion)
{
    for (const QStringList& arguments : {QStringList{"--version"}, QStringList{"--simulate", "--version"},
                                         QStringList{"--version", "--seed", "4"}}) {
        EvalOptions options;
        QString error;
        ASSERT_TRUE(parse(arguments, options, &error)) << error.toStdString();
        EXPECT_EQ(options.helpText, QStringLiteral("gyroeval %1\n").arg(QLatin1String(ProgramVersion)))
            << arguments.join(' ').toStdString();
    }
}

// The program itself on a terminal without a display: the command line is
// answered before any window, so --help and usage errors need none.
TEST(GyroevalProgram, AnswersItsCommandLineWithoutADisplay)
{
    const struct {
        QStringList arguments;
        int exitCode;
        const char* out; // in standard output ("" for nothing there)
        const char* err; // in standard error
    } cases[] = {
        {{"--help"}, 0, "--sim-fault KIND", ""},
        {{"-h"}, 0, "port-unclaimable", ""},
        {{"--version"}, 0, "gyroeval ", ""},
        {{"--simulate", "--sim-fault", "bogus"},
         2,
         "",
         "gyroeval: bad --sim-fault 'bogus': the kinds are:\n"},
        {{"--seed", "x"}, 2, "", "gyroeval: --seed needs a whole number, not \"x\"."},
        {{"--bogus"}, 2, "", "gyroeval: Unknown option 'bogus'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(GYRO_EVAL_PROGRAM), c.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.exitCode);
        // Windows consoles end lines with CR LF.
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput()).remove(QLatin1Char('\r'));
        const QString err = QString::fromLocal8Bit(program.readAllStandardError()).remove(QLatin1Char('\r'));
        EXPECT_EQ(out.isEmpty(), *c.out == '\0') << out.toStdString();
        EXPECT_TRUE(out.contains(QString::fromLatin1(c.out))) << out.toStdString();
        EXPECT_TRUE(err.contains(QString::fromLatin1(c.err))) << err.toStdString();
        for (const QString& line : (out + err).split('\n'))
            EXPECT_LT(line.size(), 80) << "wider than the terminal: " << line.toStdString();
    }
}
