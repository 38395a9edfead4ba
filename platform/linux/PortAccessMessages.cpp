#include "PortAccessMessages.h"

#include <cerrno>
#include <cstring>

namespace gyro::linuxport {

QString NoParportMessage()
{
    return QStringLiteral("No parallel port was found. Load the kernel's parallel port drivers: "
                          "sudo modprobe parport_pc ppdev");
}

QString DeviceOpenFailedMessage(const QString& devicePath, int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return QStringLiteral("No permission to use the parallel port %1. Add yourself to the lp group: "
                              "sudo usermod -aG lp $USER, then log in again.")
            .arg(devicePath);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("The parallel port device %1 is missing. Load the kernel's parallel port "
                              "device driver: sudo modprobe ppdev")
            .arg(devicePath);
    case EBUSY:
        return QStringLiteral("The parallel port %1 is in use by another program.").arg(devicePath);
    default:
        return QStringLiteral("The parallel port %1 could not be opened: %2")
            .arg(devicePath, QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

QString ClaimFailedMessage(const QString& devicePath, int errorNumber)
{
    return QStringLiteral("The parallel port %1 opened but could not be claimed (%2). Another driver holds "
                          "it: close programs that print or use the port, or unload the printer driver: "
                          "sudo modprobe -r lp")
        .arg(devicePath, QString::fromLocal8Bit(std::strerror(errorNumber)));
}

QString NoPortAtAddressMessage(int baseAddress, const QStringList& known)
{
    const QString address = QString::number(baseAddress, 16).toUpper();
    if (known.isEmpty())
        return QStringLiteral("No parallel port at address %1: the system lists no parallel port. Load the "
                              "kernel's parallel port drivers: sudo modprobe parport_pc ppdev")
            .arg(address);
    return QStringLiteral("No parallel port at address %1. The ports of this system are: %2. Choose one of "
                          "these addresses under Interface, Parallel (gyroctl: --port).")
        .arg(address, known.join(QStringLiteral(", ")));
}

QString RawAccessRefusedMessage(int errorNumber)
{
    if (errorNumber == EPERM)
        return QStringLiteral("Raw port access needs root rights: run the program as root, or leave raw "
                              "access off to use the parallel port device (/dev/parportN).");
    return QStringLiteral("Raw port access was refused: %1")
        .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
}

QString RawAccessUnavailableMessage()
{
    return QStringLiteral("raw port access is not available on this processor");
}

} // namespace gyro::linuxport
