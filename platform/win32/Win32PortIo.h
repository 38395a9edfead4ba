#pragma once
// Port I/O through the libraries beside the program, loaded at run time:
// win95io.dll (vbOut, vbInp) with giveio.dll (giveio), which opens the ports to
// the process once the giveio driver is installed; where win95io.dll cannot be
// loaded (missing, or a 32-bit library in this 64-bit program), inpoutx64.dll
// (Out32, Inp32), which brings its own driver. A missing library is told by name;
// until one is there, writes go nowhere and reads give all ones.
#include "PortIo.h"
#include "RuntimeLibrary.h"

#include <memory>

namespace gyro {

class Win32PortIo final : public PortIo {
public:
    static constexpr const char* Win95IoName = "win95io.dll";
    static constexpr const char* GiveioName = "giveio.dll";
    static constexpr const char* InpOutName = "inpoutx64.dll";

    // Loads the port library from `folder`, the program's folder.
    explicit Win32PortIo(const QString& folder);

    void vbOut(std::int32_t port, std::int32_t value) override;
    std::int32_t vbInp(std::int32_t port) override;
    // With win95io.dll: loads giveio.dll and calls giveio. With inpoutx64.dll:
    // nothing to do. Without a port library: says which are missing and where.
    QString giveio() override;
    QString openPort(std::int32_t baseAddress) override;

private:
    using OutCall = void(WINAPI*)(short, short);
    using InCall = short(WINAPI*)(short);
    using GiveioCall = void(WINAPI*)();

    QString missingPortLibrary() const;

    QString folder_;
    std::unique_ptr<RuntimeLibrary> win95io_;
    std::unique_ptr<RuntimeLibrary> inpout_;
    const RuntimeLibrary* portLibrary_ = nullptr;
    OutCall out_ = nullptr;
    InCall in_ = nullptr;
    std::unique_ptr<RuntimeLibrary> giveio_;
};

} // namespace gyro
