// gyroctl's command line fed arbitrary arguments: every refusal names its
// problem, and every accepted command line, written out again in its plain
// form, parses to the same options.
#include "CtlCommandTable.h"
#include "CtlOptions.h"
#include "FuzzState.h"
#include "PortAddress.h"

using namespace gyro;

namespace {

QStringList plainForm(const CtlOptions& options)
{
    QStringList arguments;
    if (options.simulate)
        arguments << QStringLiteral("--simulate");
    if (options.rawPortAccess)
        arguments << QStringLiteral("--raw-port-access");
    if (options.interfaceKind)
        arguments << QStringLiteral("--interface")
                  << (*options.interfaceKind == InterfaceKind::UsbCard ? QStringLiteral("usb")
                                                                   : QStringLiteral("parallel"));
    if (options.portAddress)
        arguments << QStringLiteral("--port")
                  << QString::number(static_cast<std::uint16_t>(*options.portAddress), 16);
    if (!options.spiTracePath.isNull())
        arguments << QStringLiteral("--spi-trace") << options.spiTracePath;
    for (const auto& fault : options.simFaults)
        arguments << QStringLiteral("--sim-fault") << fuzz::SimFaultText(fault);
    if (options.simBusTiming)
        arguments << QStringLiteral("--sim-bus-timing");
    if (options.simFullSpeed)
        arguments << QStringLiteral("--sim-full-speed");
    arguments << options.command << options.arguments;
    return arguments;
}

bool same(const CtlOptions& a, const CtlOptions& b)
{
    return a.simulate == b.simulate && a.rawPortAccess == b.rawPortAccess && a.interfaceKind == b.interfaceKind &&
           a.portAddress == b.portAddress && a.spiTracePath == b.spiTracePath &&
           a.simBusTiming == b.simBusTiming && a.simFullSpeed == b.simFullSpeed && a.command == b.command &&
           a.arguments == b.arguments;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList arguments = fuzz::Arguments(data, size);
    QString error;
    const std::optional<CtlOptions> options = ParseCtlArguments(arguments, &error);
    if (!options) {
        const bool helpAsked = arguments.contains(QStringLiteral("--help")) ||
                               arguments.contains(QStringLiteral("-h")) ||
                               arguments.contains(QStringLiteral("--version"));
        fuzz::Check(!error.isEmpty() || helpAsked, "a refusal names its problem", arguments.join(u'|'));
        return 0;
    }
    fuzz::Check(FindCtlCommand(options->command) != nullptr, "the command is one of the table's");
    fuzz::Check(!options->portAddress || IsParallelPortBase(PortBaseValue(*options->portAddress)),
                "only a port's base address");
    if (options->interfaceKind)
        fuzz::Check(*options->interfaceKind != InterfaceKind::None, "interface usb or parallel");

    QString againError;
    const std::optional<CtlOptions> again = ParseCtlArguments(plainForm(*options), &againError);
    fuzz::Check(again.has_value() && same(*options, *again), "the plain form parses the same",
                plainForm(*options).join(u'|') + u' ' + againError);
    return 0;
}
