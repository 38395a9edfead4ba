#include "CtlCommands.h"

#include "EzUsb.h"
#include "HexText.h"
#include "InterfaceBringUp.h"
#include "NumberText.h"
#include "RegisterAccess.h"
#include "RegisterTable.h"

#include <QStringList>
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

bool bringUpInterface(GyroState& g)
{
    return g.InterfaceType == 1 ? OpenParallelPort(g) : OpenUsbCard(g);
}

int listUsbCards(GyroState& g, QTextStream& out)
{
    FindUsbBoards(g);
    for (const UsbBoardInfo& board : g.UsbBoards) {
        if (!board.Present)
            continue;
        out << board.DeviceName << '\t' << board.BoardType << '\t' << board.Descriptor1 << '\t'
            << board.Descriptor2 << "\trev " << FormatNumber(board.FirmwareRevision, QStringLiteral("0.0"))
            << "\tUSB " << board.UsbVersion << Qt::endl;
    }
    return g.UsbCardReady ? ExitOk : ExitTransportFailed;
}

} // namespace

int RunCtlCommand(const CtlOptions& options, GyroState& g, ConsoleUiHost& ui, QTextStream& out,
                  QTextStream& err)
{
    if (options.command == QLatin1String("find-usb"))
        return listUsbCards(g, out);

    std::vector<int> indexes;
    std::int32_t value = 0;
    if (options.command == QLatin1String("read") || options.command == QLatin1String("write")) {
        const QStringList names =
            options.command == QLatin1String("read") ? options.arguments : options.arguments.mid(0, 1);
        const auto resolved = resolveNames(g, names, err);
        if (!resolved)
            return ExitUsage;
        indexes = *resolved;
        for (int index : indexes) {
            const RegisterEntry& e = g.Reg[static_cast<std::size_t>(index)];
            if (options.command == QLatin1String("read") && !e.RegReadable) {
                err << "gyroctl: " << e.RegName << " is write-only and cannot be read" << Qt::endl;
                return ExitUsage;
            }
            if (options.command == QLatin1String("write") && !e.RegWritable) {
                err << "gyroctl: " << e.RegName << " is read-only and cannot be written" << Qt::endl;
                return ExitUsage;
            }
        }
        if (options.command == QLatin1String("write")) {
            const auto hex = ParseStrictHex(options.arguments[1]);
            if (!hex) {
                err << "gyroctl: bad hex value '" << options.arguments[1] << "': give 1 to 4 hex digits"
                    << Qt::endl;
                return ExitUsage;
            }
            value = *hex;
        }
    }
    if (g.InterfaceType != 1 && g.InterfaceType != 2) {
        err << "gyroctl: no interface selected: give --interface usb or --interface parallel" << Qt::endl;
        return ExitUsage;
    }
    if (g.InterfaceType == 1 && g.PortAddress == 0) {
        err << "gyroctl: no parallel port address: give --port HEX (for example --port 378)" << Qt::endl;
        return ExitUsage;
    }
    if (!bringUpInterface(g) || ui.messageCount() > 0)
        return ExitTransportFailed;

    if (options.command == QLatin1String("read")) {
        for (int index : indexes) {
            ReadRegister(g, index);
            out << g.Reg[static_cast<std::size_t>(index)].RegName << '\t' << ValueToHex4(g.RegWord) << '\t'
                << GeneralFormat(g.RegValue) << Qt::endl;
        }
    } else if (options.command == QLatin1String("write")) {
        WriteRegister(g, indexes.front(), value);
        if (indexes.front() == Idx_Sens_Avg)
            SetGyroScale(g);
    } else {
        out << BuildRegisterTableText(g);
        out.flush();
    }
    // Every failure of a transport or the card is reported as a message.
    return ui.messageCount() > 0 ? ExitTransportFailed : ExitOk;
}

} // namespace gyro
