#pragma once
// What the user is told when the parallel port cannot be reached, with the fix.
#include <QString>

namespace gyro::linuxport {

QString NoParportMessage();
// Opening the port's device failed with errorNumber (errno).
QString DeviceOpenFailedMessage(const QString& devicePath, int errorNumber);
// The raw port permission call failed with errorNumber (errno).
QString RawAccessRefusedMessage(int errorNumber);
QString RawAccessUnavailableMessage();

} // namespace gyro::linuxport
