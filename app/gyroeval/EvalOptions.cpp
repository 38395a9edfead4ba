#include "EvalOptions.h"

#include "InterfaceSettings.h"
#include "ProgramVersion.h"

#include <QCommandLineParser>
#include <algorithm>

namespace gyro {

namespace {

struct OptionText {
    const char* names;       // as the usage shows them
    const char* description; // fits the usage's second column
};

// The usage's option column; descriptions are written to fit an 80-column terminal.
const OptionText OptionTexts[] = {
    {"--simulate", "the built-in simulated sensor, USB card and parallel port"},
    {"--interface NAME", "usb, parallel or none for this run (default: CommPort.cfg)"},
    {"--user-settings", "CommPort.cfg in the user's settings folder (menu start)"},
    {"--seed N", "seed of the simulated sensor (1)"},
    {"--spi-trace FILE", "append every SPI frame to FILE"},
    {"--start-reading", "press \"Read\" once the window is up (starts the loop)"},
    {"--raw-port-access", "the parallel port through raw port I/O (root only)"},
    {"--sim-fault KIND", "with --simulate: a hardware fault, repeatable (see below)"},
    {"--sim-still", "with --simulate: the sensor at rest (bias and noise only)"},
    {"--sim-bus-timing", "with --simulate: each USB transaction ends at the card's"},
    {"", "next frame boundary (125 us high speed, 1 ms full speed)"},
    {"--sim-full-speed", "with --simulate: the simulated card is a full-speed one"},
    {"--burst-readout", "each readout pass (five outputs, status) in one transfer"},
    {"-h, --help", "this text"},
    {"--version", "the program's version"},
};

// Options of Qt's own that QApplication takes out of the command line (a display,
// style or platform): a command line holding one is read after QApplication.
bool namesQtOption(const QString& argument)
{
    static const QStringList names{
        "platform",    "platformpluginpath", "platformtheme", "plugin",  "qmljsdebugger", "qwindowgeometry",
        "qwindowicon", "qwindowtitle",       "reverse",       "session", "display",       "geometry",
        "style",       "stylesheet",         "widgetcount",   "title",   "name"};
    if (!argument.startsWith(QLatin1Char('-')) || argument.startsWith(QLatin1String("--")))
        return false;
    const QString name = argument.mid(1).section(QLatin1Char('='), 0, 0);
    return names.contains(name);
}

} // namespace

QString EvalUsageText()
{
    constexpr int Column = 21;
    QString text = QStringLiteral("usage: gyroeval [options]\n\n"
                                  "The windowed evaluation program for the angular-rate sensor.\n\n"
                                  "options:\n");
    for (const OptionText& option : OptionTexts)
        text += QStringLiteral("  %1%2\n")
                    .arg(QString::fromLatin1(option.names).leftJustified(Column - 2))
                    .arg(QString::fromLatin1(option.description));
    text += QStringLiteral("\nfault kinds (--sim-fault KIND):\n") + sim::SimFaultKindsText(2) +
            QStringLiteral("\nexit status: 0 when the program ends normally, 1 when the platform cannot\n"
                           "be set up, 2 for a usage error\n");
    return text;
}

bool HoldsQtOptions(const QStringList& arguments)
{
    const auto end = std::find(arguments.begin(), arguments.end(), QStringLiteral("--"));
    return std::any_of(arguments.begin(), end, namesQtOption);
}

bool ParseEvalOptions(const QStringList& arguments, EvalOptions& options, QString* error)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption simulate(QStringLiteral("simulate"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("N"),
                                  QStringLiteral("1"));
    const QCommandLineOption interfaceName(QStringLiteral("interface"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption userSettings(QStringLiteral("user-settings"));
    const QCommandLineOption trace(QStringLiteral("spi-trace"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption startReading(QStringLiteral("start-reading"));
    const QCommandLineOption rawPort(QStringLiteral("raw-port-access"));
    const QCommandLineOption simFault(QStringLiteral("sim-fault"), QString(), QStringLiteral("KIND"));
    const QCommandLineOption simStill(QStringLiteral("sim-still"));
    const QCommandLineOption busTiming(QStringLiteral("sim-bus-timing"));
    const QCommandLineOption fullSpeed(QStringLiteral("sim-full-speed"));
    const QCommandLineOption burstReadout(QStringLiteral("burst-readout"));
    parser.addOptions({help, version, simulate, interfaceName, userSettings, seed, trace, startReading,
                       rawPort, simFault, simStill, busTiming, fullSpeed, burstReadout});

    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        options.helpText = EvalUsageText();
        return true;
    }
    if (parser.isSet(version)) {
        options.helpText = QStringLiteral("gyroeval %1\n").arg(QLatin1String(ProgramVersion));
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
    if (parser.isSet(interfaceName)) {
        options.interfaceType = InterfaceTypeNamed(parser.value(interfaceName));
        if (!options.interfaceType) {
            *error = QStringLiteral("unknown interface \"%1\": use %2.")
                         .arg(parser.value(interfaceName), InterfaceNames);
            return false;
        }
    }
    options.userSettings = parser.isSet(userSettings);
    options.simulate = parser.isSet(simulate);
    options.startReading = parser.isSet(startReading);
    options.burstReadout = parser.isSet(burstReadout);
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
    options.backends.simBusTiming = parser.isSet(busTiming);
    options.backends.simFullSpeed = parser.isSet(fullSpeed);
    if ((options.backends.simBusTiming || options.backends.simFullSpeed) && !options.simulate) {
        *error = QStringLiteral("--%1 needs --simulate: it sets up the simulated card.")
                     .arg(options.backends.simBusTiming ? QStringLiteral("sim-bus-timing")
                                                        : QStringLiteral("sim-full-speed"));
        return false;
    }
    if (!options.backends.simFaults.empty() && !options.simulate) {
        *error = QStringLiteral("--sim-fault needs --simulate: faults exist on the simulated platform only.");
        return false;
    }
    return true;
}

} // namespace gyro
