#pragma once
// The interface settings file: which transport is in use, the parallel port's
// base address, the factory setting and the device model, kept between runs.
#include <QString>

namespace gyro {

struct GyroState;

inline const QString InterfaceSettingsFileName = QStringLiteral("CommPort.cfg");

// Reads the file (default: CommPort.cfg in the current directory) into
// InterfaceType, PortAddress, FactoryMode and ProductNumber. A missing file, an
// empty file, an unknown key or a line that holds no "key = number" changes nothing.
// A parallel port interface whose address cannot be a port's base (0, or above
// FFFD) is told to the user and starts as no interface; the other values stay.
void LoadInterfaceSettings(GyroState& g, const QString& path = InterfaceSettingsFileName);

// Writes the four values as four lines. The file is replaced as a whole through a
// temporary file, so a failed write leaves the previous file intact. Returns
// whether the new file is in place; the program does not report a failure.
bool SaveInterfaceSettings(const GyroState& g, const QString& path = InterfaceSettingsFileName);

// The text SaveInterfaceSettings writes.
QByteArray InterfaceSettingsText(const GyroState& g);

} // namespace gyro
