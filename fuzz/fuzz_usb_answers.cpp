// The USB card discovery fed arbitrary driver answers: every request may fail,
// claim more bytes than its buffer holds, or fill the buffer with anything. The
// card records that come out must still describe a card the program knows, and a
// failed transfer must leave the card not ready.
#include "EzUsb.h"
#include "FuzzState.h"
#include "InterfaceSettings.h"
#include "UsbSpiDrivers.h"

#include <algorithm>
#include <cmath>

using namespace gyro;

namespace {

// A driver whose every answer comes from the fuzz input, byte by byte; once the
// input runs out every request fails.
class ScriptedDriver final : public EzUsbDriver {
public:
    ScriptedDriver(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    Handle open(const QString&) override { return next() % 4 == 0 ? 0 : 1 + next() % 3; }
    void close(Handle) override {}

    bool ioControl(Handle, std::uint32_t, std::span<const std::uint8_t>, std::span<std::uint8_t> output,
                   std::uint32_t& bytesReturned) override
    {
        if (at_ >= size_)
            return false;
        const std::uint8_t control = next();
        bytesReturned = next() | (next() << 8); // may claim more than the buffer holds
        for (std::uint8_t& byte : output)
            byte = next();
        return (control & 1) != 0;
    }

private:
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

bool isPlausibleText(const QString& text)
{
    return text.size() <= 127; // a descriptor's length byte allows at most 126 characters
}

void checkBoard(const UsbBoardInfo& board)
{
    fuzz::Check(isPlausibleText(board.Descriptor1) && isPlausibleText(board.Descriptor2),
                "descriptor texts fit");
    if (!board.Present)
        return;
    fuzz::Check(board.BoardType == QLatin1String("FIFO4") || board.BoardType == QLatin1String("MCP"),
                "a present card is a known type", board.BoardType);
    fuzz::Check(board.UsbVersion == QLatin1String("1.1") || board.UsbVersion == QLatin1String("2"),
                "a present card has a speed", board.UsbVersion);
    fuzz::Check(std::isfinite(board.FirmwareRevision) && board.FirmwareRevision >= 0 &&
                    board.FirmwareRevision <= 255 + 25.5f,
                "firmware revision from two bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScriptedDriver driver(data, size);
    fuzz::FuzzState state({.usb = &driver});
    GyroState& g = state.g;
    SetInterfaceDefaults(g);

    const Outcome search = FindUsbBoards(g);
    fuzz::Check(search.ok() || !search.failure().text.isEmpty(), "a failed search says why");
    fuzz::Check(g.UsbBoardCount >= 0 && g.UsbBoardCount <= 4, "at most four cards");
    for (const UsbBoardInfo& board : g.UsbBoards)
        checkBoard(board);
    checkBoard(g.SelectedUsbBoard);
    if (g.UsbCardReady)
        fuzz::Check(g.SelectedUsbBoard.Present, "a ready card is a present one");

    // One register read's worth of words through whatever card was chosen.
    ChooseInterface(g, InterfaceKind::UsbCard);
    UsbTransferWords words;
    words.UsbTxWords[1] = 0x0400;
    words.UsbTxWords[2] = 0x0400;
    const bool transferred = UsbTransfer(g, words, 2).ok();
    if (!transferred)
        fuzz::Check(!g.UsbCardReady, "a failed transfer leaves the card not ready");
    for (int pipe = -1; pipe <= 17; ++pipe) {
        const int maxPacket = GetUsbPipeMaxPacket(g, 1, pipe);
        fuzz::Check(maxPacket >= 0 && maxPacket <= 0xFFFF, "max packet from 16 bits");
    }
    return 0;
}
