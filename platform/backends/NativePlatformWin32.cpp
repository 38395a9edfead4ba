// Windows: the USB SPI card through the EZ-USB driver, or through libusb (WinUSB)
// where that driver has no device; the parallel port through the port I/O
// libraries beside the program; the real registry, processes and version.
#include "ExecutableFolder.h"
#include "FallbackUsbDriver.h"
#include "LibUsbDriver.h"
#include "NativePlatform.h"
#include "RealClock.h"
#include "Win32EzUsbDriver.h"
#include "Win32OsVersion.h"
#include "Win32PortIo.h"
#include "Win32ProcessRunner.h"
#include "Win32Registry.h"

namespace gyro {

namespace {

class Win32Platform final : public PlatformSet {
public:
    Win32Platform()
        : port_(ExecutableFolder()),
          platform_{QStringLiteral("Hardware"), usb_, port_, registry_, processes_, os_, clock_, busyLoop_}
    {
    }

    Platform& platform() override { return platform_; }

private:
    Win32EzUsbDriver ezUsb_;
    LibUsbDriver libUsb_;
    FallbackUsbDriver usb_{ezUsb_, libUsb_};
    Win32PortIo port_;
    Win32Registry registry_;
    Win32ProcessRunner processes_;
    Win32OsVersion os_;
    RealClock clock_;
    RealBusyLoop busyLoop_;
    Platform platform_;
};

} // namespace

std::unique_ptr<PlatformSet> MakeNativePlatform(const BackendOptions&, QString*)
{
    return std::make_unique<Win32Platform>();
}

} // namespace gyro
