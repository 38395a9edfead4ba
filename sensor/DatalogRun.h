#pragma once
// A logging run: samples the selected output registers (and the elapsed time) N
// times per file for F files and writes each file whole. The caller supplies the
// yield after each sample, the cancel check and the progress reports, so the
// datalog window and `gyroctl log` run the same code.
#include "DatalogSettings.h"
#include "Failure.h"
#include "GyroState.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>

namespace gyro {

struct DatalogHooks {
    std::function<void()> yield;                 // after every sample, before a file's first, during a delay
    std::function<bool()> cancelRequested;       // asked after every yield
    std::function<void(std::int64_t)> fileBegun; // the number of the file now sampled
    // Samples taken in the current file so far, out of N.
    std::function<void(std::int64_t taken, std::int64_t samplesPerFile)> sampleTaken;
    std::function<void(const QString& path)> fileWritten; // a complete file is in place
    std::function<QDate()> today;                         // the header's date; default: today
    // Set: each data line goes here instead of into files (no file, no header; each
    // block of N samples restarts its numbers as a file would). False from it ends
    // the run as a failed file write, with no message.
    std::function<bool(const QString& line)> lineOut;
};

enum class DatalogEnd {
    Completed,        // every file written
    Cancelled,        // stopped on request; the current file was written with the samples taken
    FileAccessFailed, // a file could not be created or written
    SensorFailed,     // a read brought no answer; the file holds the samples before it
};

struct DatalogOutcome {
    DatalogEnd end = DatalogEnd::Completed;
    std::int64_t filesWritten = 0;
    // Sensor-paced runs: samples the sensor made that the run could not take.
    std::int64_t samplesMissed = 0;
    // FileAccessFailed and SensorFailed: what failed, for the front end to tell.
    Outcome failure;
};

// The message for a file that cannot be created or written; the system's reason,
// when there is one, follows on a line of its own.
QString FileAccessMessage(const QString& fileName, const QString& reason = {});
// The message for a read that brought no answer during a run.
QString SensorFailedMessage(const QString& fileName, std::int64_t samplesKept);

// Runs to the end, the cancel or the first failure; the failure comes back in
// the outcome (a transport's own failure is told on the way, as every read's). The settings must hold at
// least one selected register and numbers within their limits.
DatalogOutcome RunDatalog(GyroState& g, const DatalogSettings& settings, const DatalogHooks& hooks);

} // namespace gyro
