#pragma once
// What every fuzz target shares: a program state on simulated time with a silent
// UI host, the input split into texts, and a check that stops the run loudly.
#include "FakeClock.h"
#include "GyroState.h"
#include "NullBackends.h"
#include "SimFaults.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gyro::fuzz {

struct FuzzState {
    explicit FuzzState(BackendSwap swap = {});
    sim::FakeClock clock;
    sim::FakeBusyLoop busy{clock, 1e-9};
    UnusedBackends backends;
    Platform platform;
    SilentUiHost ui;
    GyroState g{platform, ui};
};

// The input as UTF-8 text (invalid sequences become replacement characters).
QString Text(const std::uint8_t* data, std::size_t size);
// The input split at NUL bytes into arguments, as a command line arrives.
QStringList Arguments(const std::uint8_t* data, std::size_t size);

// A simulated fault written as --sim-fault takes it, and whether two lists are the same.
QString SimFaultText(const sim::SimFault& fault);
bool SameFaults(const std::vector<sim::SimFault>& a, const std::vector<sim::SimFault>& b);

// Ends the run with a message when a property does not hold (libFuzzer keeps the input).
void Check(bool holds, const char* what, const QString& detail = {});

} // namespace gyro::fuzz
