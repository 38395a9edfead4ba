// Linux: the USB SPI card through libusb, the parallel port through ppdev (or raw
// ports for root), a registry kept in memory, commands run by the shell, and the
// system clocks. The OS version says Linux, where no port driver is installed.
#include "InMemoryRegistry.h"
#include "LibUsbDriver.h"
#include "LinuxOsVersion.h"
#include "LinuxPortIo.h"
#include "NativePlatform.h"
#include "PosixProcessRunner.h"
#include "RealClock.h"

namespace gyro {

namespace {

class LinuxPlatform final : public PlatformSet {
public:
    explicit LinuxPlatform(const BackendOptions& options)
        : port_(MakeLinuxPortIo(options.rawPortAccess ? LinuxPortAccess::RawIoperm : LinuxPortAccess::Ppdev)),
          platform_{QStringLiteral("Hardware"), usb_, *port_, registry_, processes_, os_, clock_, busyLoop_}
    {
    }

    Platform& platform() override { return platform_; }

private:
    LibUsbDriver usb_;
    std::unique_ptr<PortIo> port_;
    InMemoryRegistry registry_;
    PosixProcessRunner processes_;
    LinuxOsVersion os_;
    RealClock clock_;
    RealBusyLoop busyLoop_;
    Platform platform_;
};

} // namespace

std::unique_ptr<PlatformSet> MakeNativePlatform(const BackendOptions& options, QString*)
{
    return std::make_unique<LinuxPlatform>(options);
}

} // namespace gyro
