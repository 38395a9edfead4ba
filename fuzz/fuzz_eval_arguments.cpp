// gyroeval's command line fed arbitrary arguments: every refusal names its
// problem, and every accepted command line, written out again in its plain form,
// parses to the same options.
#include "EvalOptions.h"
#include "FuzzState.h"

using namespace gyro;

namespace {

QStringList plainForm(const EvalOptions& options)
{
    QStringList arguments{QStringLiteral("gyroeval")};
    if (options.simulate)
        arguments << QStringLiteral("--simulate");
    if (options.startReading)
        arguments << QStringLiteral("--start-reading");
    if (options.backends.rawPortAccess)
        arguments << QStringLiteral("--raw-port-access");
    if (options.burstReadout)
        arguments << QStringLiteral("--burst-readout");
    if (options.backends.simBusTiming)
        arguments << QStringLiteral("--sim-bus-timing");
    if (options.backends.simFullSpeed)
        arguments << QStringLiteral("--sim-full-speed");
    arguments << QStringLiteral("--seed") << QString::number(options.backends.seed);
    if (!options.spiTracePath.isEmpty())
        arguments << QStringLiteral("--spi-trace") << options.spiTracePath;
    for (const auto& fault : options.backends.simFaults)
        arguments << QStringLiteral("--sim-fault") << fuzz::SimFaultText(fault);
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QStringList arguments = fuzz::Arguments(data, size);
    arguments.prepend(QStringLiteral("gyroeval"));
    EvalOptions options;
    QString error;
    if (!ParseEvalOptions(arguments, options, &error)) {
        fuzz::Check(!error.isEmpty(), "a refusal names its problem", arguments.join(u'|'));
        return 0;
    }
    if (!options.helpText.isEmpty())
        return 0;

    EvalOptions again;
    QString againError;
    const QStringList plain = plainForm(options);
    fuzz::Check(ParseEvalOptions(plain, again, &againError), "the plain form is accepted",
                plain.join(u'|') + u' ' + againError);
    fuzz::Check(again.simulate == options.simulate && again.startReading == options.startReading &&
                    again.backends.rawPortAccess == options.backends.rawPortAccess &&
                    again.backends.seed == options.backends.seed &&
                    again.spiTracePath == options.spiTracePath &&
                    again.burstReadout == options.burstReadout &&
                    again.backends.simBusTiming == options.backends.simBusTiming &&
                    again.backends.simFullSpeed == options.backends.simFullSpeed,
                "the plain form parses the same", plain.join(u'|'));
    return 0;
}
