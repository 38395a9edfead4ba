#include "RawPortIo.h"

#include "PortAccessMessages.h"

#include <cerrno>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define GYRO_HAVE_RAW_PORTS 1
#else
#define GYRO_HAVE_RAW_PORTS 0
#endif

namespace gyro {

namespace {
constexpr unsigned long PortAddressCount = 0x10000;
} // namespace

QString RawPortIo::giveio()
{
#if GYRO_HAVE_RAW_PORTS
    if (granted_)
        return {};
    if (::ioperm(0, PortAddressCount, 1) != 0)
        return linuxport::RawAccessRefusedMessage(errno);
    granted_ = true;
    return {};
#else
    return linuxport::RawAccessUnavailableMessage();
#endif
}

void RawPortIo::vbOut(std::int32_t port, std::int32_t value)
{
#if GYRO_HAVE_RAW_PORTS
    if (granted_)
        ::outb(static_cast<unsigned char>(value), static_cast<unsigned short>(port));
#else
    (void)port;
    (void)value;
#endif
}

std::int32_t RawPortIo::vbInp(std::int32_t port)
{
#if GYRO_HAVE_RAW_PORTS
    if (granted_)
        return ::inb(static_cast<unsigned short>(port));
#else
    (void)port;
#endif
    return 0xFF;
}

} // namespace gyro
