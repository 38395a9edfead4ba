#pragma once
// The program's process-wide values in one object: interface settings, register
// map and shadows, read results, USB card records and buffers, delay calibration.
// Created once at start-up and handed by reference to every module and window;
// each test builds a fresh one. Members keep the program's established names.
#include "Platform.h"
#include "RegisterMap.h"
#include "UiHost.h"

#include <QString>
#include <array>
#include <cstdint>

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

struct GyroState {
    GyroState(Platform& platformIn, UiHost& uiIn) : platform(platformIn), ui(uiIn) {}
    GyroState(const GyroState&) = delete;
    GyroState& operator=(const GyroState&) = delete;

    Platform& platform;
    UiHost& ui;
    SpiTrace* spiTrace = nullptr; // set when frames are to be traced

    QString AppTitle = QStringLiteral("Gyro Evaluation");
    QString ProgramFolder = QStringLiteral(".");           // logs, dumps and helper files live here
    QString SettingsFile = QStringLiteral("CommPort.cfg"); // the interface settings, read and written
    bool CommandLineGiven = false;                         // a non-empty command line shortens calibration
    QString OsName;          // "Win95", "Win98", "WinNT" or "WinXP"; set by the main window at load
    QString LastDatalogFile; // the last file a logging run wrote whole; the noise analysis offers it

    // Interface settings.
    std::int16_t InterfaceType = 0; // 0 none, 1 parallel port, 2 USB SPI card
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

    // Register map.
    RegisterMap Reg;
    std::int16_t LastRegisterIndex = 0;

    // Shadows: last words read from or written to these registers.
    std::int32_t GpioCtrlShadow = 0;
    std::int32_t AlmCtrlShadow = 0;
    std::int32_t MscCtrlShadow = 0;
    std::int32_t AlmMag1Shadow = 0;
    std::int32_t AlmMag2Shadow = 0;
    std::int32_t AlmSmpl1Shadow = 0;
    std::int32_t AlmSmpl2Shadow = 0;

    // Read results left by ReadRegister. RegReadFailed is true when the last read
    // brought no answer from the sensor (no interface, a failed or short transfer,
    // a card that is not ready): the other results are then 0 and no reading.
    bool RegReadFailed = false;
    std::int32_t RegWord = 0;
    std::int16_t RegHighByte = 0;
    std::int16_t RegLowByte = 0;
    std::int32_t RegNewData = 0;
    std::int32_t RegErrorFlag = 0;
    float RegValue = 0.0f;

    // The readout pass reads the five outputs and Status in one burst (one transfer
    // a pass) instead of six reads; the shown numbers and charts are the same.
    bool ReadoutBurst = false;

    // Delay calibration.
    std::int32_t LoopsPer10us = 1000;
    bool DelayCalibrated = false;

    // USB SPI card.
    std::array<UsbBoardInfo, 4> UsbBoards;
    std::int16_t UsbBoardCount = 0;
    std::int16_t UsbBoardIndex = -1;
    UsbBoardInfo SelectedUsbBoard;
    bool UsbCardReady = false;
    std::array<std::int32_t, UsbMaxWords + 1> UsbTxWords{}; // index 0 unused
    std::array<std::int32_t, UsbMaxWords + 1> UsbRxWords{}; // index 0 unused
    std::uint8_t UsbWordCount = 0;
};

// Sets the interface values to their start-up defaults, in the established order.
void SetInterfaceDefaults(GyroState& g);

// Builds the register map: entries 0..24 and LastRegisterIndex.
void InitRegisterMap(GyroState& g);

} // namespace gyro
