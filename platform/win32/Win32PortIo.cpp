#include "Win32PortIo.h"

#include <QDir>

namespace gyro {

namespace {

// The library and its two calls, when it has both.
bool bind(const RuntimeLibrary& library, const char* outName, const char* inName, auto& out, auto& in)
{
    out = library.function<std::remove_reference_t<decltype(out)>>(outName);
    in = library.function<std::remove_reference_t<decltype(in)>>(inName);
    return out != nullptr && in != nullptr;
}

QString reasonOf(const RuntimeLibrary& library, const char* firstCall, const char* secondCall)
{
    if (!library.loaded())
        return QStringLiteral("%1: %2").arg(library.fileName(), library.failure());
    return QStringLiteral("%1 has no %2 and %3")
        .arg(library.fileName(), QLatin1String(firstCall), QLatin1String(secondCall));
}

} // namespace

Win32PortIo::Win32PortIo(const QString& folder) : folder_(folder)
{
    win95io_ = std::make_unique<RuntimeLibrary>(folder, QLatin1String(Win95IoName));
    if (bind(*win95io_, "vbOut", "vbInp", out_, in_)) {
        portLibrary_ = win95io_.get();
        return;
    }
    inpout_ = std::make_unique<RuntimeLibrary>(folder, QLatin1String(InpOutName));
    if (bind(*inpout_, "Out32", "Inp32", out_, in_))
        portLibrary_ = inpout_.get();
}

QString Win32PortIo::missingPortLibrary() const
{
    return QStringLiteral("No port I/O library could be loaded from %1.\n%2\n%3\n"
                          "Put win95io.dll with giveio.dll, or on 64-bit Windows inpoutx64.dll, "
                          "beside the program.")
        .arg(QDir::toNativeSeparators(folder_), reasonOf(*win95io_, "vbOut", "vbInp"),
             reasonOf(*inpout_, "Out32", "Inp32"));
}

void Win32PortIo::vbOut(std::int32_t port, std::int32_t value)
{
    if (out_ != nullptr)
        out_(static_cast<short>(port), static_cast<short>(value));
}

std::int32_t Win32PortIo::vbInp(std::int32_t port)
{
    if (in_ == nullptr)
        return 0xFF;
    return in_(static_cast<short>(port)) & 0xFF;
}

QString Win32PortIo::giveio()
{
    if (portLibrary_ == nullptr)
        return missingPortLibrary();
    if (portLibrary_ == inpout_.get())
        return {};
    if (!giveio_)
        giveio_ = std::make_unique<RuntimeLibrary>(folder_, QLatin1String(GiveioName));
    const auto call = giveio_->function<GiveioCall>("giveio");
    if (call == nullptr) {
        const QString reason = giveio_->loaded()
                                   ? QStringLiteral("%1 has no giveio").arg(giveio_->fileName())
                                   : QStringLiteral("%1: %2").arg(giveio_->fileName(), giveio_->failure());
        return QStringLiteral("The ports could not be opened to the program (%1 in %2).")
            .arg(reason, QDir::toNativeSeparators(folder_));
    }
    call();
    return {};
}

QString Win32PortIo::openPort(std::int32_t)
{
    return portLibrary_ == nullptr ? missingPortLibrary() : QString();
}

} // namespace gyro
