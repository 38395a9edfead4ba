// The EZ-USB driver backend: the card search through the Win32 calls, checked at
// the calls themselves (device paths, access, request codes, buffer bytes), and
// the system's own CreateFileA finding no driver, which is the no-card path.
#include "Win32EzUsbDriver.h"
#include "EzUsb.h"
#include "RecordingUiHost.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gyro {
namespace {

// One DeviceIoControl call as the driver received it.
struct Call {
    DWORD code;
    std::vector<std::uint8_t> input;
    DWORD outputSize;
    bool operator==(const Call&) const = default;
};

// A FIFO4 card at "Ezusb-2" behind the four calls; every call is recorded.
struct FakeCard {
    std::vector<std::string> opened; // paths, in order
    std::vector<Call> calls;
    int closed = 0;
    DWORD openAccess = 0, openShare = 0, openDisposition = 0;
    DWORD openError = ERROR_FILE_NOT_FOUND;
    std::vector<std::uint8_t> pending; // the card's answer to the last command on pipe 0

    static HANDLE card() { return reinterpret_cast<HANDLE>(std::intptr_t{0x40}); }
};
FakeCard* fake = nullptr;

HANDLE WINAPI fakeCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
                             DWORD, HANDLE)
{
    fake->opened.emplace_back(path);
    fake->openAccess = access;
    fake->openShare = share;
    fake->openDisposition = disposition;
    return std::string(path) == "\\\\.\\Ezusb-2" ? FakeCard::card() : INVALID_HANDLE_VALUE;
}

void put(LPVOID out, DWORD size, const std::vector<std::uint8_t>& bytes, LPDWORD returned)
{
    const DWORD n = std::min<DWORD>(size, static_cast<DWORD>(bytes.size()));
    std::copy_n(bytes.begin(), n, static_cast<std::uint8_t*>(out));
    *returned = n;
}

std::vector<std::uint8_t> stringDescriptor(const std::string& text)
{
    std::vector<std::uint8_t> d{static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (char c : text) {
        d.push_back(static_cast<std::uint8_t>(c));
        d.push_back(0);
    }
    return d;
}

BOOL WINAPI fakeDeviceIoControl(HANDLE handle, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                                LPDWORD returned, LPOVERLAPPED)
{
    const auto* input = static_cast<const std::uint8_t*>(in);
    fake->calls.push_back({code, {input, input + inSize}, outSize});
    if (handle != FakeCard::card())
        return FALSE;
    switch (code) {
    case EzUsbDriver::IoctlGetDeviceDescriptor:
        put(out, outSize, {18, 1, 0, 2, 0, 0, 0, 64, 0x7B, 0x2C, 0x51, 0x3A, 0, 1, 1, 2, 0, 1}, returned);
        return TRUE;
    case EzUsbDriver::IoctlGetStringDescriptor:
        put(out, outSize, stringDescriptor(input[0] == 1 ? "Card" : "SPI"), returned);
        return TRUE;
    case EzUsbDriver::IoctlPipeTransfer:
        if (input[0] == 0) { // a command: the version request answers 2.3
            fake->pending = {2, 3};
            *returned = outSize;
        } else {
            put(out, outSize, fake->pending, returned);
        }
        return TRUE;
    case EzUsbDriver::IoctlGetPipeInfo: {
        const std::vector<EzUsbPipe> pipes{{64, 0x01}, {64, 0x81}, {64, 0x02}, {512, 0x86}};
        BuildEzUsbPipeTable(pipes, 0, 0, {static_cast<std::uint8_t*>(out), outSize});
        *returned = outSize;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL WINAPI fakeCloseHandle(HANDLE)
{
    ++fake->closed;
    return TRUE;
}

DWORD WINAPI fakeGetLastError()
{
    return fake->openError;
}

const EzUsbSystemCalls FakeCalls{&fakeCreateFile, &fakeDeviceIoControl, &fakeCloseHandle, &fakeGetLastError};

struct Win32CardSearch : ::testing::Test {
    Win32CardSearch() { fake = &card; }
    ~Win32CardSearch() override { fake = nullptr; }

    FakeCard card;
    Win32EzUsbDriver driver{FakeCalls};
    test::TestBackends backends;
    Platform platform = backends.platform({.usb = &driver});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
};

TEST_F(Win32CardSearch, OpensTheFourDevicePathsAndSendsTheDescribedRequests)
{
    FindUsbBoards(g);

    EXPECT_EQ(card.opened, (std::vector<std::string>{"\\\\.\\Ezusb-0", "\\\\.\\Ezusb-1", "\\\\.\\Ezusb-2",
                                                     "\\\\.\\Ezusb-3"}));
    EXPECT_EQ(card.openAccess, DWORD{GENERIC_WRITE});
    EXPECT_EQ(card.openShare, DWORD{FILE_SHARE_WRITE});
    EXPECT_EQ(card.openDisposition, DWORD{OPEN_EXISTING});

    const std::vector<std::uint8_t> descriptorIndex1{1, 0, 0, 0, 0x1B}, descriptorIndex2{2, 0, 0, 0, 0x1B};
    const std::vector<std::uint8_t> pipe0{0, 0, 0, 0}, pipe1{1, 0, 0, 0};
    const std::vector<Call> expected{
        {0x222004, std::vector<std::uint8_t>(147, 0), 147}, // device descriptor, zeroed
        {0x222044, descriptorIndex1, 4},                    // string 1: its length first...
        {0x222044, descriptorIndex1, 10},                   // ...then all of it
        {0x222044, descriptorIndex2, 4},
        {0x222044, descriptorIndex2, 8},
        {0x222051, pipe0, 1},                               // the version command, one byte
        {0x222051, pipe1, 2},                               // its answer
        {0x222000, std::vector<std::uint8_t>(356, 0), 356}, // the pipe table, in and out
    };
    EXPECT_EQ(card.calls, expected);
    EXPECT_EQ(card.closed, 1);

    EXPECT_TRUE(g.UsbCardReady);
    EXPECT_EQ(g.SelectedUsbBoard.DeviceName, "Ezusb-2");
    EXPECT_EQ(g.SelectedUsbBoard.Descriptor1, "Card");
    EXPECT_FLOAT_EQ(g.SelectedUsbBoard.FirmwareRevision, 2.3f);
    EXPECT_EQ(g.SelectedUsbBoard.UsbVersion, "2");
    EXPECT_TRUE(ui.messages.empty());
}

// A device that is there but cannot be opened is told with the system's words;
// a missing one is no card, silently.
TEST_F(Win32CardSearch, OpenFailuresOtherThanNoDeviceAreTold)
{
    card.openError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(driver.open(QStringLiteral("Ezusb-0")), 0);
    EXPECT_TRUE(driver.lastOpenFailure().startsWith(QStringLiteral("Ezusb-0: ")));
    EXPECT_GT(driver.lastOpenFailure().size(), QStringLiteral("Ezusb-0: ").size());

    card.openError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(driver.open(QStringLiteral("Ezusb-1")), 0);
    EXPECT_TRUE(driver.lastOpenFailure().isEmpty());
}

// The system's own calls: no EZ-USB driver answers (Wine has none, nor has a PC
// without the card's driver), so the search ends in "no card".
TEST(Win32EzUsbDriver, WithoutTheDriverTheSearchFindsNoCard)
{
    Win32EzUsbDriver driver;
    EXPECT_EQ(driver.open(QStringLiteral("Ezusb-0")), 0);

    test::TestBackends backends;
    Platform platform = backends.platform({.usb = &driver});
    test::RecordingUiHost ui;
    GyroState g{platform, ui};
    FindUsbBoards(g);
    EXPECT_FALSE(g.UsbCardReady);
    EXPECT_EQ(g.UsbBoardCount, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("No USB Buffers Found, Please Verify Setup and Restart"));
}

} // namespace
} // namespace gyro
