#pragma once
// What the user is told when the parallel port cannot be reached, with the fix.
#include <QString>
#include <QStringList>

namespace gyro::linuxport {

QString NoParportMessage();
// Opening the port's device failed with errorNumber (errno).
QString DeviceOpenFailedMessage(const QString& devicePath, int errorNumber);
// The port's device opened but the claim (PPCLAIM) failed with errorNumber (errno).
QString ClaimFailedMessage(const QString& devicePath, int errorNumber);
// No port of the kernel's list has this base address; `known` lists the ports
// there are, as "/dev/parport0 at 378".
QString NoPortAtAddressMessage(int baseAddress, const QStringList& known);
// The raw port permission call failed with errorNumber (errno).
QString RawAccessRefusedMessage(int errorNumber);
QString RawAccessUnavailableMessage();

} // namespace gyro::linuxport
