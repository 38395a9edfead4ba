#pragma once
// gyroctl on the simulated platform: the state as gyroctl prepares it, stdout and
// stderr captured, and a command run by name with its arguments. CtlRun is one
// such run, for tables whose rows each need a fresh one; CtlFixture is the same
// as a test fixture.
#include "CtlCommands.h"
#include "OsFamily.h"
#include "SimPlatform.h"

#include <gtest/gtest.h>

namespace gyro::test {

struct CtlRun {
    sim::SimPlatform sim;
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    ConsoleUiHost ui{err};
    GyroState g{sim.platform(), ui};

    CtlRun()
    {
        g.OsName = OsFamilyName(sim.os().query());
        g.PortAddress = 0x378;
    }

    int runCommand(const QString& command, const QStringList& arguments)
    {
        CtlOptions options;
        options.command = command;
        options.arguments = arguments;
        return RunCtlCommand(options, g, ui, out, err);
    }

    // Every frame sent to the simulated sensor, in order.
    std::vector<std::uint16_t> framesOut()
    {
        std::vector<std::uint16_t> frames;
        for (const auto& f : sim.sensor().trace())
            frames.push_back(f.out);
        return frames;
    }
};

struct CtlFixture : ::testing::Test, CtlRun {};

} // namespace gyro::test
