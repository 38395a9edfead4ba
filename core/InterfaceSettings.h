#pragma once
// The interface settings file: which transport is in use, the parallel port's
// base address, the factory setting and the device model, kept between runs.
#include "Failure.h"
#include "InterfaceKind.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace gyro {

struct GyroState;
struct LinkSettings;

inline const QString InterfaceSettingsFileName = QStringLiteral("CommPort.cfg");

// Reads the file (default: CommPort.cfg in the current directory) into
// InterfaceType, PortAddress, FactoryMode and ProductNumber. A missing file, an
// empty file, an unknown key or a line that holds no "key = number" changes nothing.
// A parallel port interface whose address cannot be a port's base (0, or above
// FFFD) starts as no interface, and that comes back as a failure for the front
// end to tell; the other values stay.
Outcome LoadInterfaceSettings(GyroState& g, const QString& path = InterfaceSettingsFileName);

// Writes the four values as four lines. The file is replaced as a whole through a
// temporary file, so a failed write leaves the previous file byte for byte.
// Returns whether the new file is in place, with the reason in `reason` when not.
bool SaveInterfaceSettings(const LinkSettings& g, const QString& path = InterfaceSettingsFileName,
                           QString* reason = nullptr);

// What the user is told when the settings could not be saved: the file's full
// path, the reason, and that the old file is left as it was.
QString SettingsNotSavedText(const QString& path, const QString& reason);

// The interface the settings choose: InterfaceType 1 is the parallel port, 2 the
// USB SPI card, any other number none.
InterfaceKind ChosenInterface(const LinkSettings& g);
void ChooseInterface(LinkSettings& g, InterfaceKind kind);
// The number the settings file keeps for an interface.
std::int16_t InterfaceSetting(InterfaceKind kind);

// The four values the file keeps, as one value that can be compared and put back.
struct InterfaceValues {
    std::int16_t InterfaceType = 0;
    std::int16_t PortAddress = 0;
    std::int16_t FactoryMode = 0;
    std::int16_t ProductNumber = 0;
    bool operator==(const InterfaceValues&) const = default;
};
InterfaceValues InterfaceValuesOf(const LinkSettings& g);
void SetInterfaceValues(LinkSettings& g, const InterfaceValues& values);

// The same for values other than those in use (the interface the user chose).
bool SaveInterfaceSettings(const InterfaceValues& values, const QString& path = InterfaceSettingsFileName,
                           QString* reason = nullptr);

// The interface a command line names (--interface): "usb", "parallel" or "none";
// any other name is none of them.
std::optional<InterfaceKind> InterfaceKindNamed(const QString& name);
inline const QString InterfaceNames = QStringLiteral("usb, parallel or none");

// The text SaveInterfaceSettings writes.
QByteArray InterfaceSettingsText(const LinkSettings& g);
QByteArray InterfaceSettingsText(const InterfaceValues& values);

} // namespace gyro
