#pragma once
// gyroctl on the simulated platform: the state as gyroctl prepares it, stdout and
// stderr captured, and a command run by name with its arguments.
#include "CtlCommands.h"
#include "OsFamily.h"
#include "SimPlatform.h"

#include <gtest/gtest.h>

namespace gyro::test {

struct CtlFixture : ::testing::Test {
    sim::SimPlatform sim;
    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    ConsoleUiHost ui{err};
    GyroState g{sim.platform(), ui};

    CtlFixture()
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
};

} // namespace gyro::test
