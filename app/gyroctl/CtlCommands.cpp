// The register commands of gyroctl (read, write, dump, find-usb), the table of
// every command and the interface bring-up they share.
#include "CtlCommands.h"

#include "CtlAlarmCommands.h"
#include "CtlAllanCommand.h"
#include "CtlCommandTable.h"
#include "CtlConfigCommands.h"
#include "CtlLogCommand.h"
#include "EzUsb.h"
#include "HexText.h"
#include "InterfaceBringUp.h"
#include "InterfaceSettings.h"
#include "NumberText.h"
#include "RegisterAccess.h"
#include "RegisterTable.h"
#include "SensorCommands.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace gyro {

namespace {

QString registerNames(const GyroState& g)
{
    QStringList names;
    for (int i = 0; i <= g.LastRegisterIndex; ++i)
        names << g.Reg[static_cast<std::size_t>(i)].RegName;
    return names.join(QStringLiteral(", "));
}

// Resolves every name first, so that a typo fails before any traffic.
std::optional<std::vector<int>> resolveNames(const GyroState& g, const QStringList& names, QTextStream& err)
{
    std::vector<int> indexes;
    for (const QString& name : names) {
        const int index = FindRegisterIndex(g.Reg, g.LastRegisterIndex, name);
        if (index < 0) {
            err << "gyroctl: unknown register '" << name << "'; the registers are: " << registerNames(g)
                << Qt::endl;
            return std::nullopt;
        }
        indexes.push_back(index);
    }
    return indexes;
}

int runRead(CtlContext& c)
{
    const auto indexes = resolveNames(c.g, c.options.arguments, c.err);
    if (!indexes)
        return ExitUsage;
    for (int index : *indexes) {
        const RegisterEntry& e = c.g.Reg[static_cast<std::size_t>(index)];
        if (!e.RegReadable) {
            c.err << "gyroctl: " << e.RegName << " is write-only and cannot be read" << Qt::endl;
            return ExitUsage;
        }
    }
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (std::find(indexes->begin(), indexes->end(), Idx_Gyro_Out) != indexes->end() &&
        !ScaleForSensorRange(c))
        return ExitTransportFailed;
    // A register that gave no answer gets no data line, only a message.
    int status = ExitOk;
    for (int index : *indexes) {
        const QString& name = c.g.Reg[static_cast<std::size_t>(index)].RegName;
        const RegisterRead r = ReadRegister(c.g, index);
        if (!r) {
            c.err << "gyroctl: no answer when reading " << name << Qt::endl;
            status = ExitTransportFailed;
            continue;
        }
        c.out << name << '\t' << ValueToHex4(r->RegWord) << '\t' << GeneralFormat(r->RegValue) << Qt::endl;
    }
    return status;
}

int runWrite(CtlContext& c)
{
    const auto indexes = resolveNames(c.g, c.options.arguments.mid(0, 1), c.err);
    if (!indexes)
        return ExitUsage;
    const int index = indexes->front();
    const RegisterEntry& e = c.g.Reg[static_cast<std::size_t>(index)];
    if (!e.RegWritable) {
        c.err << "gyroctl: " << e.RegName << " is read-only and cannot be written" << Qt::endl;
        return ExitUsage;
    }
    const auto hex = ParseStrictHex(c.options.arguments[1]);
    if (!hex) {
        c.err << "gyroctl: bad hex value '" << c.options.arguments[1] << "': give 1 to 4 hex digits"
              << Qt::endl;
        return ExitUsage;
    }
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (!WriteRegister(c.g, index, *hex))
        return ExitTransportFailed;
    // The write is done; a range the scale cannot use is only a warning.
    if (WriteCanChangeRange(index, *hex) && !ScaleForSensorRange(c))
        return ExitTransportFailed;
    return ExitOk;
}

int runDump(CtlContext& c)
{
    if (const int status = BringUpCtlInterface(c); status != ExitOk)
        return status;
    if (!ScaleForSensorRange(c))
        return ExitTransportFailed;
    int failedReads = 0;
    const QString table = BuildRegisterTableText(c.g, &failedReads);
    // A table with holes would pass for the sensor's registers: all or nothing.
    if (failedReads > 0) {
        c.err << "gyroctl: " << failedReads << " registers gave no answer; no table printed" << Qt::endl;
        return ExitTransportFailed;
    }
    c.out << table;
    c.out.flush();
    return ExitOk;
}

int runFindUsb(CtlContext& c)
{
    TellIfFailed(c.ui, FindUsbBoards(c.g));
    for (const UsbBoardInfo& board : c.g.UsbBoards) {
        if (!board.Present)
            continue;
        c.out << board.DeviceName << '\t' << board.BoardType << '\t' << board.Descriptor1 << '\t'
              << board.Descriptor2 << "\trev " << FormatNumber(board.FirmwareRevision, QStringLiteral("0.0"))
              << "\tUSB " << board.UsbVersion << Qt::endl;
    }
    return c.g.UsbCardReady ? ExitOk : ExitTransportFailed;
}

const std::array Commands{
    CtlCommand{"read", "read NAME...", "read registers by name: NAME, hex word, value", runRead},
    CtlCommand{"write", "write NAME HEX", "write a register (1 to 4 hex digits)", runWrite},
    CtlCommand{"dump", "dump", "print the register table", runDump},
    CtlCommand{"find-usb", "find-usb", "list the USB SPI cards found", runFindUsb},
    CtlCommand{"alarms", "alarms", "show both alarms and the alarm indicator line", runAlarms},
    CtlCommand{"alarm", "alarm 1|2 [--source S] [--level X] [--greater|--less] [--average K] [--rate on|off]",
               "set one alarm (S: disabled, supply, gyro, aux, temp) and show it", runAlarm},
    CtlCommand{"indicator", "indicator [--line 1|2] [--polarity high|low] [--enable on|off]",
               "set the alarm indicator line and show it", runIndicator},
    CtlCommand{"rate", "rate [SPS]", "show or set the sample rate (samples a second)", runRate},
    CtlCommand{"filter", "filter [--taps N] [--range 80|160|320] [--bandwidth 50|300]",
               "show or set filter taps, range (deg/s) and bandwidth (Hz)", runFilter},
    CtlCommand{"dac", "dac [VOLTS]", "show or set the auxiliary DAC output (0 to 2.5 V)", runDac},
    CtlCommand{"flash", "flash", "store the configuration in the sensor's flash memory", runFlash},
    CtlCommand{"null", "null", "run the sensor's automatic bias null; show the offset", runNull},
    CtlCommand{"factory-cal", "factory-cal", "restore the factory calibration; show the offset",
               runFactoryCal},
    CtlCommand{"offset", "offset [DEG]", "show or set the rate offset (deg/s)", runOffset},
    CtlCommand{"bias", "bias SECONDS [--apply]",
               "average the uncorrected bias; --apply writes the proposed offset", runBias},
    CtlCommand{"log", "log [--samples N ...]", "log output registers to files, as the Datalog window",
               runLog},
    CtlCommand{"allan", "allan FILE [--plot OUT ...]",
               "noise analysis of a log: Allan deviation, noise terms, PSD", runAllan},
};

} // namespace

std::span<const CtlCommand> CtlCommandTable()
{
    return Commands;
}

const CtlCommand* FindCtlCommand(const QString& name)
{
    for (const CtlCommand& command : Commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

bool ScaleForSensorRange(CtlContext& c)
{
    const GyroScaleSetting scale = SetGyroScale(c.g);
    TellIfFailed(c.ui, scale.outcome);
    if (scale.result != GyroScaleResult::NoAnswer)
        return true;
    c.err << "gyroctl: no answer when reading Sens_Avg for the rate scale" << Qt::endl;
    return false;
}

int BringUpCtlInterface(CtlContext& c)
{
    GyroState& g = c.g;
    const InterfaceKind chosen = ChosenInterface(g);
    if (chosen == InterfaceKind::None) {
        c.err << "gyroctl: no interface selected: give --interface usb or --interface parallel" << Qt::endl;
        return ExitUsage;
    }
    if (chosen == InterfaceKind::ParallelPort && g.PortAddress == 0) {
        c.err << "gyroctl: no parallel port address: give --port HEX (for example --port 378)" << Qt::endl;
        return ExitUsage;
    }
    // Any failure of the bring-up (a card setting that failed) is told, and so fails the command.
    const InterfaceOpening opening =
        chosen == InterfaceKind::ParallelPort ? OpenParallelPort(g) : OpenUsbCard(g);
    TellEach(c.ui, opening.failures);
    return StatusAfterTraffic(c, opening.ready);
}

int StatusAfterTraffic(const CtlContext& c, bool succeeded)
{
    // A failure of a transport or the card that the command was given and told,
    // though its own result looked whole, still fails it.
    return succeeded && c.ui.failureCount() == c.failuresAtStart ? ExitOk : ExitTransportFailed;
}

int RunCtlCommand(const CtlOptions& options, GyroState& g, ConsoleUiHost& ui, QTextStream& out,
                  QTextStream& err)
{
    CtlContext context{options, g, ui, out, err, ui.failureCount()};
    const CtlCommand* command = FindCtlCommand(options.command);
    if (command == nullptr) {
        err << "gyroctl: unknown command '" << options.command << "'" << Qt::endl;
        return ExitUsage;
    }
    return command->run(context);
}

} // namespace gyro
