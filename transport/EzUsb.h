#pragma once
// Finding USB SPI cards under the driver's device names and the few driver calls
// the card operations are built from. Every operation opens the device, makes its
// requests and closes it again.
#include "EzUsbDriver.h"
#include "EzUsbLayout.h"
#include "Failure.h"
#include "GyroState.h"

#include <QStringList>
#include <array>
#include <cstdint>
#include <span>

namespace gyro {

constexpr std::uint16_t UsbCardVendorId = 0x2C7B;
constexpr std::uint16_t UsbCardProductFifo4 = 0x3A51;
constexpr std::uint16_t UsbCardProductMcp = 0x3A62;
constexpr std::size_t UsbPipeTableSize = EzUsbPipeTableSize;
constexpr std::size_t UsbDeviceDescriptorBufferSize = EzUsbDeviceDescriptorBufferSize;

using UsbPipeTable = std::array<std::uint8_t, UsbPipeTableSize>;

// Opens "Ezusb-N"; a handle > 0, or <= 0 when the device cannot be opened.
EzUsbDriver::Handle OpenUsbDevice(GyroState& g, const QString& deviceName);
// Closes a handle that OpenUsbDevice gave; a handle <= 0 was never opened and is ignored.
void CloseUsbDevice(GyroState& g, EzUsbDriver::Handle handle);

// The device of one operation: opened on construction, closed when the operation ends,
// on every path out of it.
class ScopedUsbDevice {
public:
    ScopedUsbDevice(GyroState& g, const QString& deviceName) : g_(g), handle_(OpenUsbDevice(g, deviceName)) {}
    ~ScopedUsbDevice() { CloseUsbDevice(g_, handle_); }
    ScopedUsbDevice(const ScopedUsbDevice&) = delete;
    ScopedUsbDevice& operator=(const ScopedUsbDevice&) = delete;

    EzUsbDriver::Handle handle() const { return handle_; }
    bool isOpen() const { return handle_ > 0; }

private:
    GyroState& g_;
    EzUsbDriver::Handle handle_;
};

// Pipe-table request; 1 on success, 0 on failure.
int GetUsbPipeInfo(GyroState& g, EzUsbDriver::Handle handle, UsbPipeTable& table);
// Maximum packet size of pipe 0..16; 0 when the handle is 0 or the request fails.
int GetUsbPipeMaxPacket(GyroState& g, EzUsbDriver::Handle handle, int pipe);
// Text of a string descriptor, or "None" on any failure.
QString GetUsbStringDescriptor(GyroState& g, EzUsbDriver::Handle handle, int index);
// Transfer on a pipe: for pipe 0 the buffer goes to the card, for pipe 1 the answer
// lands in it. `length` is in/out: bytes to move (at most the buffer's size), then
// bytes the driver reports. Returns 1 on success, -2 when the handle is not open
// (0 or below), 0 on failure.
int UsbPipeTransfer(GyroState& g, EzUsbDriver::Handle handle, int pipe, std::span<std::uint8_t> buffer,
                    std::int32_t& length);

// Reads the descriptors, firmware revision and USB speed of a present card and
// notes the word delay for its speed (SpeedWordDelay); on any failure marks the
// card not present and returns false (the search tells it).
bool ReadUsbBoardInfo(GyroState& g, EzUsbDriver::Handle handle, UsbBoardInfo& board);
// Fills UsbBoards(0..3) and UsbBoardCount from the four device names. Returns, one
// line per card, why cards that are there could not be opened (the driver's words);
// `infoUnreadable` says whether a card's information could not be read.
QStringList ScanUsbBoards(GyroState& g, bool* infoUnreadable = nullptr);
// Scans and chooses the first present card (SelectedUsbBoard, UsbBoardIndex,
// UsbCardReady). Gives back a failure when none is found, with the causes the
// driver gives for cards it could not open (in use elsewhere, no permission), in
// one text: a card whose information could not be read gives "Error getting Board
// Info" and, when no card is valid, that none is, in the same text. That error
// also comes back when another card was chosen: UsbCardReady says whether one was.
Outcome FindUsbBoards(GyroState& g);
// Makes UsbBoards(index) the selected card. Unless the user set a word delay this
// run, the delay becomes the default for that card's speed.
void SelectUsbBoard(GyroState& g, int index);

} // namespace gyro
