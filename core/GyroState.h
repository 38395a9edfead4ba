#pragma once
// The program's state, in parts by owner: the application context, the link
// settings, the sensor view, the USB card records, and the link itself. Created
// once at start-up and handed by reference; each test builds a fresh one.
#include "InterfaceKind.h"
#include "Platform.h"
#include "RegisterMap.h"
#include "SpiLink.h"
#include "UiHost.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

namespace gyro {

class SpiTrace;

// One USB SPI card found under a device name.
struct UsbBoardInfo {
    QString DeviceName; // "Ezusb-0".."Ezusb-3", empty when no card there
    std::int32_t Reserved = 0;
    std::uint8_t BoardByte = 0;
    bool Present = false; // known card whose information was read
    QString BoardType;    // "FIFO4" or "MCP"
    QString Descriptor1;
    QString Descriptor2;
    float FirmwareRevision = 0.0f;   // major + minor / 10
    QString UsbVersion;              // "1.1" or "2"
    std::uint8_t SpeedWordDelay = 0; // default word delay for its speed (35 full, 10 high); 0 unknown
};

constexpr int UsbMaxWords = 16;

// The application context: what the front end sets up before anything runs.
struct AppContext {
    AppContext(Platform& platformIn, UiHost& uiIn) : platform(platformIn), ui(uiIn) {}

    Platform& platform;
    UiHost& ui;
    SpiTrace* spiTrace = nullptr; // set when frames are to be traced

    QString AppTitle = QStringLiteral("Gyro Evaluation");
    QString ProgramFolder = QStringLiteral(".");           // logs, dumps and helper files live here
    QString SettingsFile = QStringLiteral("CommPort.cfg"); // the interface settings, read and written
    bool CommandLineGiven = false;                         // a non-empty command line shortens calibration
    QString OsName;          // "Win95", "Win98", "WinNT", "WinXP" or "Linux"; set by the main window at load
    QString LastDatalogFile; // the last file a logging run wrote whole; the noise analysis offers it

    // Delay calibration.
    std::int32_t LoopsPer10us = 1000;
    bool DelayCalibrated = false;
};

// The link settings: what CommPort.cfg keeps, and the card's SPI settings.
struct LinkSettings {
    std::int16_t InterfaceType = 0; // as CommPort.cfg keeps it: see ChosenInterface
    std::int16_t PortAddress = 0;
    std::int16_t FactoryMode = 0;
    std::int16_t ProductNumber = 0; // 27130 or 27140
    bool PortDriverReady = false;
    bool UsbLoopStopped = true;
    bool UsbSpiPolarity = true; // true: "Pos"
    std::uint8_t UsbSpiChannel = 1;
    std::uint8_t UsbSpiBits = 120;
    std::uint8_t UsbWordDelay = 25;
    bool UsbWordDelayChosen = false; // the user set UsbWordDelay: card searches keep it
};

// The sensor view: how the program reads the sensor's registers.
struct SensorView {
    // Register map, constant; the rate output's scale follows the sensor's range
    // (SetGyroScale) and starts at the map's.
    const RegisterMap& Reg = SensorRegisterMap();
    const std::int16_t LastRegisterIndex = SensorLastRegisterIndex();
    float GyroScale = SensorRegisterMap()[Idx_Gyro_Out].RegScale;

    // Shadows: last words read from or written to these registers.
    std::int32_t GpioCtrlShadow = 0;
    std::int32_t AlmCtrlShadow = 0;
    std::int32_t MscCtrlShadow = 0;
    std::int32_t AlmMag1Shadow = 0;
    std::int32_t AlmMag2Shadow = 0;
    std::int32_t AlmSmpl1Shadow = 0;
    std::int32_t AlmSmpl2Shadow = 0;

    // The readout pass reads the five outputs and Status in one burst (one transfer
    // a pass) instead of six reads; the shown numbers and charts are the same.
    bool ReadoutBurst = false;
};

// The USB SPI cards the last search found and the one in use; the card search
// fills them, the card selection and debug windows show them.
struct UsbCardRecords {
    std::array<UsbBoardInfo, 4> UsbBoards;
    std::int16_t UsbBoardCount = 0;
    std::int16_t UsbBoardIndex = -1;
    UsbBoardInfo SelectedUsbBoard;
    bool UsbCardReady = false;
};

// The program's state, made of its parts by owner. Procedures that use one part
// take that part; the rest take the whole. Members keep the established names,
// so `g.InterfaceType` reads the same whichever part holds it.
struct GyroState : AppContext, LinkSettings, SensorView, UsbCardRecords {
    GyroState(Platform& platformIn, UiHost& uiIn) : AppContext(platformIn, uiIn) {}
    GyroState(const GyroState&) = delete;
    GyroState& operator=(const GyroState&) = delete;

    // The link register access sends its frames on, made for the chosen interface
    // (CurrentLink in transport/SpiLinks.h).
    std::unique_ptr<SpiLink> link;
    InterfaceKind linkInterface = InterfaceKind::None;
};

// Sets the interface values to their start-up defaults, in the established order.
void SetInterfaceDefaults(LinkSettings& settings);

// The scale of register `index` now: GyroScale for the rate output, else the map's.
float CurrentScale(const SensorView& sensor, int index);

} // namespace gyro
