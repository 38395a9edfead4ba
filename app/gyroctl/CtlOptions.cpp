#include "CtlOptions.h"

#include "CtlCommandTable.h"
#include "HexText.h"
#include "InterfaceSettings.h"
#include "PortAddress.h"
#include "ProgramVersion.h"

#include <QRegularExpression>

namespace gyro {

QString CtlUsageText()
{
    QString text = QStringLiteral("usage: gyroctl [options] COMMAND [ARGS]\n\ncommands:\n");
    for (const CtlCommand& command : CtlCommandTable())
        text += QStringLiteral("  %1  %2\n")
                    .arg(QLatin1String(command.usage), -28)
                    .arg(QLatin1String(command.summary));
    text += QStringLiteral(
        "\n"
        "options:\n"
        "  --simulate               use the built-in simulated sensor\n"
        "  --interface usb|parallel|none\n"
        "                           the interface for this run (default: the one in CommPort.cfg)\n"
        "  --port HEX               parallel port base address (default from CommPort.cfg)\n"
        "  --spi-trace FILE         append every SPI frame to FILE\n"
        "  --raw-port-access        parallel port through raw I/O permission (root) instead of ppdev\n"
        "  --sim-fault KIND         with --simulate: a hardware fault, repeatable; KIND is one of\n");
    text += sim::SimFaultKindsText(27);
    text += QStringLiteral(
        "  --sim-still              with --simulate: the sensor at rest (bias and noise only)\n"
        "  --sim-bus-timing         with --simulate: each USB bulk transaction completes at the card's\n"
        "                           next frame boundary (125 us high speed, 1 ms full speed)\n"
        "  --sim-full-speed         with --simulate: the simulated card is a full-speed one\n");
    text +=
        QStringLiteral("  --help                   this text\n"
                       "  --version                the program's version\n"
                       "\n"
                       "log options (the Datalog window's settings):\n"
                       "  --samples N              samples per file, 1 to 2147483647 (1000)\n"
                       "  --files F                files, 1 to 2000000000 (1)\n"
                       "  --delay MS               wait after each sample, 0 to 32000 ms (0)\n"
                       "  --name BASE              files BASE_1.csv, BASE_2.csv, ... (DATALOG)\n"
                       "  --dir DIR                folder of the files (the current one)\n"
                       "  --select LIST            from supply,gyro,aux,temp,angle (gyro)\n"
                       "  --time --no-flags --raw --no-header --reset-angle\n"
                       "                           elapsed-time column, no new-data flags, counts\n"
                       "                           instead of values, no header, angle zeroed per file\n"
                       "  --every-sample           one line per sensor sample: wait for each new sample,\n"
                       "                           read the registers in one burst, time in microseconds;\n"
                       "                           samples missed are told on standard error\n"
                       "  --rate SPS               set the sample rate first, as the rate command does\n"
                       "  --stdout                 data lines to standard output instead of files\n"
                       "\n"
                       "A register that gives no answer prints no line; the reason goes to standard error.\n"
                       "exit status: 0 success, 1 the transport, card or a file failed, 2 usage error,\n"
                       "130 stopped by Ctrl+C\n");
    text += QStringLiteral(
        "\n"
        "allan options (noise analysis of a log file; no sensor needed):\n"
        "  --column NAME            by title, or by number without titles (Gyro)\n"
        "  --rate SPS               samples a second (default: time column or header)\n"
        "  --taus octave|decade|all cluster sizes 1,2,4,8.. / 1,2,4,10,20,40.. / all\n"
        "  --plot OUT.png|OUT.svg   draw the Allan plot (with --psd also the spectrum)\n"
        "  --psd                    print the one-sided spectrum after the noise terms\n"
        "  --all-lines              keep lines whose new-data flag is 0 (a sample read again)\n");
    return text;
}

QString CtlVersionText()
{
    return QStringLiteral("gyroctl %1\n").arg(QLatin1String(ProgramVersion));
}

std::optional<std::int32_t> ParseStrictHex(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^(0[xX])?([0-9A-Fa-f]{1,4})$"));
    const auto match = hex.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return HexToLong(match.captured(2));
}

std::optional<CtlOptions> ParseCtlArguments(const QStringList& arguments, QString* error, bool* versionAsked)
{
    CtlOptions options;
    auto fail = [error](const QString& message) -> std::optional<CtlOptions> {
        *error = message;
        return std::nullopt;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (!options.command.isEmpty()) {
            options.arguments << arg;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            error->clear();
            return std::nullopt;
        } else if (arg == QLatin1String("--version")) {
            error->clear();
            if (versionAsked != nullptr)
                *versionAsked = true;
            return std::nullopt;
        } else if (arg == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (arg == QLatin1String("--sim-still")) {
            options.simStill = true;
        } else if (arg == QLatin1String("--raw-port-access")) {
            options.rawPortAccess = true;
        } else if (arg == QLatin1String("--interface")) {
            if (!hasValue)
                return fail(QStringLiteral("--interface needs %1").arg(InterfaceNames));
            options.interfaceType = InterfaceTypeNamed(arguments[++i]);
            if (!options.interfaceType)
                return fail(
                    QStringLiteral("unknown interface '%1': use %2").arg(arguments[i], InterfaceNames));
        } else if (arg == QLatin1String("--port")) {
            if (!hasValue)
                return fail(QStringLiteral("--port needs a hex address such as 378"));
            const auto address = ParseStrictHex(arguments[++i]);
            if (!address)
                return fail(QStringLiteral("bad port address '%1': give 1 to 4 hex digits such as 378")
                                .arg(arguments[i]));
            if (!IsParallelPortBase(*address))
                return fail(NotAPortBaseMessage(*address));
            options.portAddress = static_cast<std::int16_t>(*address > 32767 ? *address - 65536 : *address);
        } else if (arg == QLatin1String("--spi-trace")) {
            if (!hasValue || arguments[i + 1].isEmpty())
                return fail(QStringLiteral("--spi-trace needs a file name"));
            options.spiTracePath = arguments[++i];
        } else if (arg == QLatin1String("--sim-bus-timing")) {
            options.simBusTiming = true;
        } else if (arg == QLatin1String("--sim-full-speed")) {
            options.simFullSpeed = true;
        } else if (arg == QLatin1String("--sim-fault")) {
            if (!hasValue)
                return fail(QStringLiteral("--sim-fault needs a kind such as card-stops:5"));
            QString why;
            const auto fault = sim::ParseSimFault(arguments[++i], &why);
            if (!fault)
                return fail(why);
            options.simFaults.push_back(*fault);
        } else if (arg.startsWith(QLatin1String("--"))) {
            return fail(QStringLiteral("unknown option '%1'").arg(arg));
        } else {
            options.command = arg;
        }
    }
    if (!options.simFaults.empty() && !options.simulate)
        return fail(
            QStringLiteral("--sim-fault needs --simulate: faults exist on the simulated platform only"));
    if (options.simStill && !options.simulate)
        return fail(QStringLiteral("--sim-still needs --simulate: it stills the simulated sensor"));
    if ((options.simBusTiming || options.simFullSpeed) && !options.simulate)
        return fail(QStringLiteral("%1 needs --simulate: it sets up the simulated card")
                        .arg(options.simBusTiming ? QStringLiteral("--sim-bus-timing")
                                                  : QStringLiteral("--sim-full-speed")));
    if (options.command.isEmpty())
        return fail(QStringLiteral("no command given"));
    if (FindCtlCommand(options.command) == nullptr)
        return fail(QStringLiteral("unknown command '%1'").arg(options.command));
    if (options.command == QLatin1String("read") && options.arguments.isEmpty())
        return fail(QStringLiteral("read needs at least one register name"));
    if (options.command == QLatin1String("write") && options.arguments.size() != 2)
        return fail(QStringLiteral("write needs a register name and a hex value"));
    if ((options.command == QLatin1String("dump") || options.command == QLatin1String("find-usb")) &&
        !options.arguments.isEmpty())
        return fail(QStringLiteral("%1 takes no arguments").arg(options.command));
    return options;
}

} // namespace gyro
