#pragma once
// Finding USB SPI cards under the driver's device names and the few driver calls
// the card operations are built from. Every operation opens the device, makes its
// requests and closes it again.
#include "EzUsbDriver.h"
#include "GyroState.h"

#include <array>
#include <cstdint>
#include <span>

namespace gyro {

constexpr std::uint16_t UsbCardVendorId = 0x2C7B;
constexpr std::uint16_t UsbCardProductFifo4 = 0x3A51;
constexpr std::uint16_t UsbCardProductMcp = 0x3A62;
constexpr int UsbPipeTableSize = 356;
constexpr int UsbDeviceDescriptorBufferSize = 147;

using UsbPipeTable = std::array<std::uint8_t, UsbPipeTableSize>;

// Opens "Ezusb-N"; a handle > 0, or <= 0 when the device cannot be opened.
EzUsbDriver::Handle OpenUsbDevice(GyroState& g, const QString& deviceName);
void CloseUsbDevice(GyroState& g, EzUsbDriver::Handle handle);

// Pipe-table request; 1 on success, 0 on failure.
int GetUsbPipeInfo(GyroState& g, EzUsbDriver::Handle handle, UsbPipeTable& table);
// Maximum packet size of pipe 0..16; 0 when the handle is 0 or the request fails.
int GetUsbPipeMaxPacket(GyroState& g, EzUsbDriver::Handle handle, int pipe);
// Text of a string descriptor, or "None" on any failure.
QString GetUsbStringDescriptor(GyroState& g, EzUsbDriver::Handle handle, int index);
// Transfer on a pipe: for pipe 0 the buffer goes to the card, for pipe 1 the answer
// lands in it. `length` is in/out: bytes to move, then bytes the driver reports.
// Returns 1 on success, -2 when the handle is 0, another value on failure.
int UsbPipeTransfer(GyroState& g, EzUsbDriver::Handle handle, int pipe, std::span<std::uint8_t> buffer,
                    std::int32_t& length);

void ReadUsbBoardInfo(GyroState& g, EzUsbDriver::Handle handle, UsbBoardInfo& board);
void ScanUsbBoards(GyroState& g);
void FindUsbBoards(GyroState& g);

} // namespace gyro
