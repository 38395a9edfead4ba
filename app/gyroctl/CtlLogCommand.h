#pragma once
// `gyroctl log`: the datalog window's logging run from the command line.
#include "CtlCommandTable.h"
#include "DatalogSettings.h"

#include <QStringList>
#include <optional>

namespace gyro {

struct LogRequest {
    DatalogSettings settings;
    std::optional<double> rate; // --rate: the sample rate set before the run
    bool toStdout = false;      // --stdout: data lines to standard output, no files
};

// The run from the command's arguments (--samples N, --files F, --delay MS, --name
// BASE, --dir DIR, --select LIST, --time, --no-flags, --raw, --no-header,
// --reset-angle, --every-sample, --rate SPS, --stdout). A number that is not one or
// lies beyond the window's limits is a usage error: nullopt and the reason in `error`.
std::optional<LogRequest> ParseLogArguments(const QStringList& arguments, QString* error);

// Prints the path of each complete file on stdout (with --stdout the data lines
// instead, each ended by LF; blocks of N restart their sample numbers as files
// would); a sensor-paced run tells the samples it missed on stderr; exits 0 when
// every file was written, 130 after Ctrl+C / SIGTERM / SIGHUP (the current file is
// still written whole),
// 1 when a file or the sensor failed, 2 for a usage error.
int runLog(CtlContext& context);

} // namespace gyro
