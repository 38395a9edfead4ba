#pragma once
// `gyroctl allan FILE`: the noise analysis of a log file: the Allan deviation table
// with its confidence intervals and the noise terms on stdout, the plot on request.
// Needs no sensor.
#include "CtlCommandTable.h"
#include "NoiseAnalysis.h"

#include <QStringList>
#include <optional>

namespace gyro {

struct AllanArguments {
    QString file;
    analysis::NoiseAnalysisOptions analysis;
    QString plotPath;      // empty: no plot
    bool spectrum = false; // --psd: the spectrum in the plot and its table on stdout
};

// FILE [--column NAME] [--rate SPS] [--taus octave|all|decade] [--plot OUT.png|OUT.svg] [--psd]
// [--all-lines].
// nullopt and the reason in `error` for a usage error.
std::optional<AllanArguments> ParseAllanArguments(const QStringList& arguments, QString* error);

// Whether a command line draws a plot, so that the program must start with a GUI
// application (fonts for the drawing; the offscreen platform needs no display).
bool CtlCommandDraws(int argc, char** argv);

// Exit 0 done, 1 the file cannot be read or holds no series, 2 usage error (an
// option, a column that is not there, no sample interval), 130 after Ctrl+C.
int runAllan(CtlContext& context);

} // namespace gyro
