#pragma once
// Port I/O through the kernel's parallel port device (ppdev), the default on
// Linux: no root rights, only membership of the lp group.
//
// The port is found by its base address (ParportLookup) on first access, opened
// and claimed once and kept until another base address is used or the object
// goes. Data register (base): PPWDATA / PPRDATA. Status register (base + 1):
// PPRSTATUS, which gives the register as the hardware reads it, like a raw port
// read (the kernel does not invert BUSY, bit 7, there; only bit 6 is used anyway).
// Writes to the status register are ignored: ppdev offers no way to write it, and
// on a standard port it is read-only. Other addresses: writes are ignored, reads
// give 0xFF. A port that cannot be reached behaves like an absent one (writes
// ignored, reads 0xFF); lastError() says why.
#include "ParportLookup.h"
#include "PortIo.h"

#include <memory>
#include <optional>
#include <set>

namespace gyro {

class PpdevPortIo final : public PortIo {
public:
    explicit PpdevPortIo(QString procDir = linuxport::DefaultParportProcDir,
                         QString deviceDir = linuxport::DefaultDeviceDir);
    ~PpdevPortIo() override;
    PpdevPortIo(const PpdevPortIo&) = delete;
    PpdevPortIo& operator=(const PpdevPortIo&) = delete;

    void vbOut(std::int32_t port, std::int32_t value) override;
    std::int32_t vbInp(std::int32_t port) override;

    // Checks that the parallel port devices can be opened by this user; the
    // message names the fix (lp group, kernel modules) when they cannot. Reads the
    // list of ports again and lets ports that failed before be tried again.
    QString giveio() override;

    // Finds the port with this base address in the kernel's list, opens and claims
    // it; the message says which device failed and how to fix it (lp group, kernel
    // modules, the printer driver holding it, the addresses there are).
    QString openPort(std::int32_t baseAddress) override;

    // Why the last port access failed; empty when none did.
    const QString& lastError() const { return lastError_; }

private:
    class ClaimedPort;
    enum class Register { Data, Status, Other };

    // The claimed port and register that `port` addresses; nullptr for Other or
    // when the port cannot be reached.
    ClaimedPort* portFor(std::int32_t port, Register& reg);
    ClaimedPort* claim(const linuxport::ParportEntry& entry);

    QString procDir_;
    QString deviceDir_;
    std::optional<std::vector<linuxport::ParportEntry>> entries_; // read on first need and by giveio()
    std::unique_ptr<ClaimedPort> claimed_;
    std::set<int> unreachableBases_;
    QString lastError_;
};

} // namespace gyro
