#pragma once
// Finding the kernel's parallel port device for an I/O base address. The kernel
// lists each port under /proc/sys/dev/parport/parportN/, whose "base-addr" file
// holds the base address (and the upper base) as decimal numbers; the user-space
// device of that port is /dev/parportN.
#include <QString>
#include <optional>
#include <vector>

namespace gyro::linuxport {

inline const QString DefaultParportProcDir = QStringLiteral("/proc/sys/dev/parport");
inline const QString DefaultDeviceDir = QStringLiteral("/dev");

struct ParportEntry {
    QString name;    // "parport0"
    int baseAddress; // 0x378
};

// The first number of a base-addr text ("888\t1912\n" -> 888); decimal, or hex with
// a "0x" prefix. nullopt when the text starts with no number within 0..0xFFFF.
std::optional<int> ParseBaseAddress(const QString& text);

// Every parportN folder under procDir with a readable base address, in port
// number order (parport2 before parport10).
std::vector<ParportEntry> ListParportEntries(const QString& procDir = DefaultParportProcDir);

// The entry whose base address is baseAddress.
std::optional<ParportEntry> FindParportForBase(const std::vector<ParportEntry>& entries, int baseAddress);

// "/dev" + "parport0" -> "/dev/parport0".
QString ParportDevicePath(const QString& deviceDir, const ParportEntry& entry);

} // namespace gyro::linuxport
