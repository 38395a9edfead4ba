#include "SimParallelPort.h"

namespace gyro::sim {

namespace {
constexpr std::uint8_t ChipSelect = 0x01;
constexpr std::uint8_t Clock = 0x02;
constexpr std::uint8_t DataToDevice = 0x04;
constexpr std::int32_t StatusDataFromDevice = 0x40;
constexpr int FrameBits = 16;
} // namespace

SimParallelPort::SimParallelPort(SpiDevice& device, std::int32_t baseAddress)
    : device_(device), base_(baseAddress)
{
}

void SimParallelPort::vbOut(std::int32_t port, std::int32_t value)
{
    if (unclaimable_)
        return; // the port belongs to another driver: nothing reaches the lines
    if (port != base_) {
        otherWrites_.push_back({port, value});
        return;
    }
    const auto lines = static_cast<std::uint8_t>(value);
    dataWrites_.push_back(lines);
    setLines(lines);
}

void SimParallelPort::setLines(std::uint8_t lines)
{
    const std::uint8_t before = lines_;
    lines_ = lines;
    const bool selectedBefore = (before & ChipSelect) != 0;
    const bool selected = (lines & ChipSelect) != 0;

    if (!selectedBefore && selected) {
        inFrame_ = true;
        bitCount_ = 0;
        received_ = 0;
        answer_ = device_.pendingAnswer();
        return;
    }
    if (selectedBefore && !selected) {
        if (inFrame_ && bitCount_ == FrameBits) {
            device_.frameReceived(received_);
            frames_.push_back({received_, answer_});
        } else if (inFrame_) {
            ++discardedFrames_;
        }
        inFrame_ = false;
        return;
    }
    const bool clockFell = (before & Clock) != 0 && (lines & Clock) == 0;
    if (inFrame_ && selected && clockFell) {
        // The data line is inverted: low carries a 1 bit.
        const bool one = (before & DataToDevice) == 0;
        received_ = static_cast<std::uint16_t>((received_ << 1) | (one ? 1 : 0));
        ++bitCount_;
    }
}

std::int32_t SimParallelPort::vbInp(std::int32_t port)
{
    if (unclaimable_)
        return 0xFF;
    if (port == base_)
        return lines_;
    if (port != base_ + 1)
        return 0xFF;
    if (!inFrame_ || bitCount_ >= FrameBits)
        return StatusDataFromDevice;
    const bool one = ((answer_ >> (FrameBits - 1 - bitCount_)) & 1) != 0;
    return one ? 0 : StatusDataFromDevice;
}

QString SimParallelPort::giveio()
{
    ++giveioCalls_;
    return giveioFailure_;
}

QString SimParallelPort::openPort(std::int32_t baseAddress)
{
    const QString simulated = QString::number(base_, 16).toUpper();
    if (baseAddress != base_)
        return QStringLiteral("No parallel port at address %1. The simulated port is at %2: choose that "
                              "address under Interface, Parallel (gyroctl: --port %2).")
            .arg(QString::number(baseAddress, 16).toUpper(), simulated);
    if (unclaimable_)
        return QStringLiteral("The simulated parallel port at %1 opened but could not be claimed: another "
                              "driver holds it. Leave out --sim-fault port-unclaimable to free it.")
            .arg(simulated);
    return {};
}

void SimParallelPort::clearRecords()
{
    dataWrites_.clear();
    otherWrites_.clear();
    frames_.clear();
    discardedFrames_ = 0;
    giveioCalls_ = 0;
}

} // namespace gyro::sim
