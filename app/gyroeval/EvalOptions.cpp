#include "EvalOptions.h"

#include <QCommandLineParser>

namespace gyro {

bool ParseEvalOptions(const QStringList& arguments, EvalOptions& options, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Evaluation program for the angular-rate sensor."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"), QStringLiteral("Use the built-in simulated sensor, USB card and port."));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the simulated sensor."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption trace(QStringLiteral("spi-trace"),
                                   QStringLiteral("Append every SPI frame to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption startReading(
        QStringLiteral("start-reading"),
        QStringLiteral("Press \"Read\" once the window is up (starts the loop)."));
    const QCommandLineOption rawPort(
        QStringLiteral("raw-port-access"),
        QStringLiteral("Reach the parallel port through raw port I/O (root only)."));
    const QCommandLineOption simFault(
        QStringLiteral("sim-fault"),
        QStringLiteral("With --simulate: a hardware fault, repeatable. KIND is one of\n") +
            sim::SimFaultKindsText(),
        QStringLiteral("KIND"));
    const QCommandLineOption simStill(
        QStringLiteral("sim-still"),
        QStringLiteral("With --simulate: the sensor at rest, its rate only bias and noise."));
    parser.addOptions({simulate, seed, trace, startReading, rawPort, simFault, simStill});

    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        options.helpText = parser.helpText();
        return true;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().front());
        return false;
    }
    bool seedOk = false;
    options.backends.seed = parser.value(seed).toUInt(&seedOk);
    if (!seedOk) {
        *error = QStringLiteral("--seed needs a whole number, not \"%1\".").arg(parser.value(seed));
        return false;
    }
    options.simulate = parser.isSet(simulate);
    options.startReading = parser.isSet(startReading);
    options.backends.rawPortAccess = parser.isSet(rawPort);
    options.spiTracePath = parser.value(trace);
    for (const QString& kind : parser.values(simFault)) {
        const auto fault = sim::ParseSimFault(kind, error);
        if (!fault)
            return false;
        options.backends.simFaults.push_back(*fault);
    }
    options.backends.simStill = parser.isSet(simStill);
    if (options.backends.simStill && !options.simulate) {
        *error = QStringLiteral("--sim-still needs --simulate: it stills the simulated sensor.");
        return false;
    }
    if (!options.backends.simFaults.empty() && !options.simulate) {
        *error = QStringLiteral("--sim-fault needs --simulate: faults exist on the simulated platform only.");
        return false;
    }
    return true;
}

} // namespace gyro
