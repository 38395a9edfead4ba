#pragma once
// The windowed program's command line:
//
//   gyroeval [--help] [--version] [--simulate] [--interface usb|parallel|none] [--user-settings]
//            [--seed N] [--spi-trace FILE] [--start-reading]
//            [--raw-port-access] [--burst-readout] [--sim-fault KIND]... [--sim-bus-timing]
//            [--sim-full-speed] [--sim-still]
//   (the last four with --simulate; the fault kinds are in SimFaults.h)
#include "BackendTable.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace gyro {

struct EvalOptions {
    bool simulate = false;     // the built-in simulation instead of this system's hardware
    bool startReading = false; // press "Read" once the main window is up
    bool burstReadout = false; // each readout pass in one burst (one transfer)
    // The interface of this run instead of the one CommPort.cfg names (0 none,
    // 1 parallel, 2 USB); the file keeps its own unless the user picks another.
    std::optional<std::int16_t> interfaceType;
    // CommPort.cfg in the user's settings folder whatever the current folder: the
    // desktop menu starts the program so.
    bool userSettings = false;
    BackendOptions backends;
    QString spiTracePath; // append every SPI frame to this file
    QString helpText;     // --help or --version: this text is the whole answer
};

// Reads the arguments (the first is the program). Returns false with a message in
// `error` for an unknown option or a bad value. Needs no application object, so
// --help and a usage error are answered without a display.
bool ParseEvalOptions(const QStringList& arguments, EvalOptions& options, QString* error);

// Whether the arguments hold one of Qt's own options (-platform, -style, ...),
// which only QApplication takes out of the command line.
bool HoldsQtOptions(const QStringList& arguments);

// The --help text; every line fits an 80-column terminal.
QString EvalUsageText();

} // namespace gyro
