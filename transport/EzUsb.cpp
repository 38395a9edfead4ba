#include "EzUsb.h"

#include <algorithm>

namespace gyro {

namespace {

constexpr int PipeRequests = 0; // pipe 0: requests to the card (bulk out)
constexpr int PipeAnswers = 1;  // pipe 1: the card's answers (bulk in)
constexpr int PipeSpeedProbe = 3;
constexpr int FullSpeedMaxPacket = 64;

// Offsets in the device descriptor.
constexpr std::size_t DescriptorVendorOffset = 8;
constexpr std::size_t DescriptorProductOffset = 10;

Failure searchFailure(const GyroState& g, const QString& text)
{
    return Failure{QStringLiteral("USB card search"), text, {}, g.AppTitle};
}

bool ioControl(GyroState& g, EzUsbDriver::Handle handle, std::uint32_t code,
               std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
               std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    return g.platform.usb.ioControl(handle, code, input, output, bytesReturned);
}

// The board type of a known card, or "None".
QString boardTypeOf(std::uint16_t vendor, std::uint16_t product)
{
    if (vendor != UsbCardVendorId)
        return QStringLiteral("None");
    switch (product) {
    case UsbCardProductFifo4:
        return QStringLiteral("FIFO4");
    case UsbCardProductMcp:
        return QStringLiteral("MCP");
    default:
        return QStringLiteral("None");
    }
}

// Asks the card for its firmware version: one byte 0x00 out, two bytes back.
bool readFirmwareRevision(GyroState& g, EzUsbDriver::Handle handle, float& revision)
{
    std::array<std::uint8_t, 2> buffer{UsbCardCommand::Version, 0};
    std::int32_t length = 1;
    if (UsbPipeTransfer(g, handle, PipeRequests, buffer, length) != 1)
        return false;
    length = 2;
    buffer = {};
    // A short answer would leave the revision made of bytes the card never sent.
    if (UsbPipeTransfer(g, handle, PipeAnswers, buffer, length) != 1 || length < 2)
        return false;
    revision = static_cast<float>(buffer[0]) + static_cast<float>(buffer[1]) / 10.0f;
    return true;
}

bool readBoardInfo(GyroState& g, EzUsbDriver::Handle handle, UsbBoardInfo& board)
{
    const QString none = QStringLiteral("None");
    board.Descriptor1 = GetUsbStringDescriptor(g, handle, 1);
    if (board.Descriptor1 == none)
        return false;
    board.Descriptor2 = GetUsbStringDescriptor(g, handle, 2);
    if (board.Descriptor2 == none)
        return false;
    if (!readFirmwareRevision(g, handle, board.FirmwareRevision))
        return false;
    const int maxPacket = GetUsbPipeMaxPacket(g, handle, PipeSpeedProbe);
    if (maxPacket == 0)
        return false;
    if (maxPacket <= FullSpeedMaxPacket) {
        board.UsbVersion = QStringLiteral("1.1");
        board.SpeedWordDelay = 35;
    } else {
        board.UsbVersion = QStringLiteral("2");
        board.SpeedWordDelay = 10;
    }
    return true;
}

} // namespace

EzUsbDriver::Handle OpenUsbDevice(GyroState& g, const QString& deviceName)
{
    return g.platform.usb.open(deviceName);
}

void CloseUsbDevice(GyroState& g, EzUsbDriver::Handle handle)
{
    if (handle > 0)
        g.platform.usb.close(handle);
}

int GetUsbPipeInfo(GyroState& g, EzUsbDriver::Handle handle, UsbPipeTable& table)
{
    std::uint32_t returned = 0;
    // The table buffer is both the request's input and its output.
    return ioControl(g, handle, EzUsbDriver::IoctlGetPipeInfo, table, table, returned) ? 1 : 0;
}

int GetUsbPipeMaxPacket(GyroState& g, EzUsbDriver::Handle handle, int pipe)
{
    if (handle <= 0 || pipe < 0 || pipe >= static_cast<int>(EzUsbMaxPipes))
        return 0;
    UsbPipeTable table{};
    if (GetUsbPipeInfo(g, handle, table) != 1)
        return 0;
    const std::size_t entry = EzUsbPipeTableHeaderSize + EzUsbPipeEntrySize * static_cast<std::size_t>(pipe);
    return GetLe16(std::span<const std::uint8_t>(table).subspan(entry));
}

QString GetUsbStringDescriptor(GyroState& g, EzUsbDriver::Handle handle, int index)
{
    const QString none = QStringLiteral("None");
    if (handle <= 0)
        return none;
    const std::array<std::uint8_t, 5> input{static_cast<std::uint8_t>(index), 0, 0, 0, 0x1B};
    std::uint32_t returned = 0;

    // First the descriptor's head, for its length byte; then the whole descriptor.
    std::array<std::uint8_t, 4> head{};
    if (!ioControl(g, handle, EzUsbDriver::IoctlGetStringDescriptor, input, head, returned) || returned < 1)
        return none;
    const std::size_t length = head[0];
    if (length < 2) // not even the length and type bytes: no descriptor
        return none;

    std::array<std::uint8_t, 256> descriptor{};
    if (!ioControl(g, handle, EzUsbDriver::IoctlGetStringDescriptor, input,
                   std::span(descriptor).first(length), returned))
        return none;

    // The low bytes of the UTF-16 characters at 2, 4, 6, ...: the cards' texts are ASCII.
    // Only bytes the driver delivered count.
    const std::size_t end = std::min<std::size_t>(length, returned);
    QString text;
    text.reserve(static_cast<qsizetype>(length / 2));
    for (std::size_t i = 2; i < end; i += 2)
        text.append(QChar(descriptor[i]));
    return text;
}

int UsbPipeTransfer(GyroState& g, EzUsbDriver::Handle handle, int pipe, std::span<std::uint8_t> buffer,
                    std::int32_t& length)
{
    if (handle <= 0)
        return -2;
    const std::size_t count =
        std::clamp<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), 0, buffer.size());
    std::array<std::uint8_t, 4> input{};
    PutLe32(input, static_cast<std::uint32_t>(pipe));
    std::uint32_t returned = 0;
    const bool ok =
        ioControl(g, handle, EzUsbDriver::IoctlPipeTransfer, input, buffer.first(count), returned);
    length = static_cast<std::int32_t>(returned);
    return ok ? 1 : 0;
}

bool ReadUsbBoardInfo(GyroState& g, EzUsbDriver::Handle handle, UsbBoardInfo& board)
{
    if (!board.Present || handle <= 0)
        return true;
    if (!readBoardInfo(g, handle, board)) {
        board.Present = false;
        return false;
    }
    return true;
}

QStringList ScanUsbBoards(GyroState& g, bool* infoUnreadable)
{
    if (infoUnreadable != nullptr)
        *infoUnreadable = false;
    QStringList openFailures;
    g.platform.usb.rescan(); // a card re-plugged since the last search is a new device
    g.UsbBoardCount = 0;
    // A fresh record per name, so nothing of an earlier scan survives for a card that is gone.
    g.UsbBoards.fill(UsbBoardInfo{});
    for (int i = 0; i < EzUsbDeviceSlots; ++i) {
        const QString name = EzUsbDeviceName(i);
        ScopedUsbDevice device(g, name);
        if (!device.isOpen()) {
            if (const QString why = g.platform.usb.lastOpenFailure(); !why.isEmpty())
                openFailures << why;
            continue;
        }
        std::array<std::uint8_t, UsbDeviceDescriptorBufferSize> descriptor{};
        std::uint32_t returned = 0;
        if (!ioControl(g, device.handle(), EzUsbDriver::IoctlGetDeviceDescriptor, descriptor, descriptor,
                       returned))
            continue; // no descriptor: no card there
        const std::span<const std::uint8_t> bytes(descriptor);
        const QString type = boardTypeOf(GetLe16(bytes.subspan(DescriptorVendorOffset)),
                                         GetLe16(bytes.subspan(DescriptorProductOffset)));
        if (type == QStringLiteral("None"))
            continue;
        ++g.UsbBoardCount;
        UsbBoardInfo& board = g.UsbBoards[static_cast<std::size_t>(i)];
        board.Present = true;
        board.DeviceName = name;
        board.BoardType = type;
        if (!ReadUsbBoardInfo(g, device.handle(), board) && infoUnreadable != nullptr)
            *infoUnreadable = true;
    }
    return openFailures;
}

Outcome FindUsbBoards(GyroState& g)
{
    g.UsbCardReady = false;
    g.UsbBoardIndex = -1;
    bool infoUnreadable = false;
    const QStringList openFailures = ScanUsbBoards(g, &infoUnreadable);
    const QString infoError = QStringLiteral("Error getting Board Info");
    if (g.UsbBoardCount == 0) {
        QString text = QStringLiteral("No USB Buffers Found, Please Verify Setup and Restart");
        // A card that is there but cannot be opened: say why, so the user can act on it.
        if (!openFailures.isEmpty())
            text += QStringLiteral("\n\n") + openFailures.join(QLatin1Char('\n'));
        return searchFailure(g, text);
    }
    for (int i = 0; i < EzUsbDeviceSlots; ++i) {
        const UsbBoardInfo& board = g.UsbBoards[static_cast<std::size_t>(i)];
        if (board.Present) {
            SelectUsbBoard(g, i);
            g.UsbCardReady = true;
            g.UsbBoardIndex = static_cast<std::int16_t>(i);
            if (infoUnreadable)
                return searchFailure(g, infoError); // another card's, told though this one serves
            return {};
        }
    }
    // One failure, one message: why no card is valid, and that none is.
    const QString noValid = QStringLiteral("No Valid USB Buffers Found, Please Verify Setup and Restart");
    return searchFailure(g, infoUnreadable ? infoError + QStringLiteral("\n\n") + noValid : noValid);
}

void SelectUsbBoard(GyroState& g, int index)
{
    const UsbBoardInfo& board = g.UsbBoards.at(static_cast<std::size_t>(index));
    g.SelectedUsbBoard = board;
    if (!g.UsbWordDelayChosen && board.SpeedWordDelay != 0)
        g.UsbWordDelay = board.SpeedWordDelay;
}

} // namespace gyro
