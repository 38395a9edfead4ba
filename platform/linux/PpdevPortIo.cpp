#include "PpdevPortIo.h"

#include "PortAccessMessages.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace gyro {

// One opened and claimed port; released and closed when it goes.
class PpdevPortIo::ClaimedPort {
public:
    ClaimedPort(int fd, int baseAddress) : fd_(fd), base_(baseAddress) {}
    ~ClaimedPort()
    {
        ::ioctl(fd_, PPRELEASE);
        ::close(fd_);
    }
    ClaimedPort(const ClaimedPort&) = delete;
    ClaimedPort& operator=(const ClaimedPort&) = delete;

    int base() const { return base_; }

    void writeData(std::uint8_t value) { ::ioctl(fd_, PPWDATA, &value); }
    std::int32_t read(unsigned long request)
    {
        unsigned char value = 0xFF;
        if (::ioctl(fd_, request, &value) != 0)
            return 0xFF;
        return value;
    }

private:
    int fd_;
    int base_;
};

namespace {

// Opens a device for reading and writing; returns the descriptor or -errno.
int openDevice(const QString& path)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    return fd >= 0 ? fd : -errno;
}

} // namespace

PpdevPortIo::PpdevPortIo(QString procDir, QString deviceDir)
    : procDir_(std::move(procDir)), deviceDir_(std::move(deviceDir))
{
}

PpdevPortIo::~PpdevPortIo() = default;

QString PpdevPortIo::giveio()
{
    unreachableBases_.clear();
    lastError_.clear();
    entries_ = linuxport::ListParportEntries(procDir_);
    if (entries_->empty())
        return linuxport::NoParportMessage();
    if (claimed_)
        return {};
    // Report the first failure, unless some port opens: the program may use that one.
    QString firstFailure;
    for (const linuxport::ParportEntry& entry : *entries_) {
        const QString path = linuxport::ParportDevicePath(deviceDir_, entry);
        const int fd = openDevice(path);
        if (fd >= 0) {
            ::close(fd);
            return {};
        }
        if (firstFailure.isEmpty())
            firstFailure = linuxport::DeviceOpenFailedMessage(path, -fd);
    }
    return firstFailure;
}

QString PpdevPortIo::openPort(std::int32_t baseAddress)
{
    if (claimed_ && claimed_->base() == baseAddress)
        return {};
    entries_ = linuxport::ListParportEntries(procDir_);
    const std::optional<linuxport::ParportEntry> entry =
        linuxport::FindParportForBase(*entries_, baseAddress);
    if (!entry) {
        QStringList known;
        for (const linuxport::ParportEntry& e : *entries_)
            known << QStringLiteral("%1 at %2")
                         .arg(linuxport::ParportDevicePath(deviceDir_, e),
                              QString::number(e.baseAddress, 16).toUpper());
        return linuxport::NoPortAtAddressMessage(baseAddress, known);
    }
    unreachableBases_.erase(baseAddress); // the user may have fixed the cause: try again
    if (claim(*entry) == nullptr)
        return lastError_;
    return {};
}

PpdevPortIo::ClaimedPort* PpdevPortIo::claim(const linuxport::ParportEntry& entry)
{
    claimed_.reset(); // one claimed port at a time: release the old one first
    const QString path = linuxport::ParportDevicePath(deviceDir_, entry);
    const int fd = openDevice(path);
    if (fd < 0) {
        lastError_ = linuxport::DeviceOpenFailedMessage(path, -fd);
        unreachableBases_.insert(entry.baseAddress);
        return nullptr;
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        lastError_ = linuxport::ClaimFailedMessage(path, errno);
        ::close(fd);
        unreachableBases_.insert(entry.baseAddress);
        return nullptr;
    }
    int forward = 0; // the data lines drive out
    ::ioctl(fd, PPDATADIR, &forward);
    claimed_ = std::make_unique<ClaimedPort>(fd, entry.baseAddress);
    return claimed_.get();
}

PpdevPortIo::ClaimedPort* PpdevPortIo::portFor(std::int32_t port, Register& reg)
{
    reg = Register::Other;
    if (claimed_ && (port == claimed_->base() || port == claimed_->base() + 1)) {
        reg = port == claimed_->base() ? Register::Data : Register::Status;
        return claimed_.get();
    }
    if (unreachableBases_.count(port) != 0 || unreachableBases_.count(port - 1) != 0)
        return nullptr;
    if (!entries_)
        entries_ = linuxport::ListParportEntries(procDir_);
    std::optional<linuxport::ParportEntry> entry = linuxport::FindParportForBase(*entries_, port);
    reg = Register::Data;
    if (!entry) {
        entry = linuxport::FindParportForBase(*entries_, port - 1);
        reg = Register::Status;
    }
    if (!entry) {
        reg = Register::Other;
        return nullptr;
    }
    return claim(*entry);
}

void PpdevPortIo::vbOut(std::int32_t port, std::int32_t value)
{
    Register reg = Register::Other;
    ClaimedPort* claimed = portFor(port, reg);
    if (claimed != nullptr && reg == Register::Data)
        claimed->writeData(static_cast<std::uint8_t>(value));
}

std::int32_t PpdevPortIo::vbInp(std::int32_t port)
{
    Register reg = Register::Other;
    ClaimedPort* claimed = portFor(port, reg);
    if (claimed == nullptr)
        return 0xFF;
    switch (reg) {
    case Register::Data:
        return claimed->read(PPRDATA);
    case Register::Status:
        return claimed->read(PPRSTATUS);
    case Register::Other:
        break;
    }
    return 0xFF;
}

} // namespace gyro
