#include "SimSensor.h"

#include <algorithm>
#include <cmath>

namespace gyro::sim {

namespace A = SensorAddress;

namespace {

// After a long silence only this many samples are taken one by one (enough to refill the
// filter and the alarm history); the ones before only move the angle.
constexpr std::int64_t ExplicitSamples = 4096;
constexpr double SkipStepSeconds = 0.25;
constexpr std::size_t TraceLimit = std::size_t{1} << 20;
constexpr double AngleWrapDegrees = 16384 * AngleDegreesPerCount;

// Bits of the output words in the new-data mask.
constexpr std::uint64_t bitOf(int address)
{
    return std::uint64_t{1} << wordIndexOf(address);
}
constexpr std::uint64_t OutputWords =
    bitOf(A::Supply_Out) | bitOf(A::Gyro_Out) | bitOf(A::Aux_ADC) | bitOf(A::Temp_Out) | bitOf(A::ANGL_OUT);

int roundedClamp(double value, int low, int high)
{
    return static_cast<int>(
        std::clamp(std::round(value), static_cast<double>(low), static_cast<double>(high)));
}

// The low `bits` bits of a signed count, as the register holds it.
std::uint16_t field(int count, int bits)
{
    return static_cast<std::uint16_t>(count & ((1 << bits) - 1));
}

int signExtend(int value, int bits)
{
    const int sign = 1 << (bits - 1);
    return (value & (sign - 1)) - (value & sign);
}

} // namespace

SimSensor::SimSensor(Clock& clock, std::uint32_t seed)
    : clock_(clock), model_(makeSensorModel(seed)), noise_(0xA5A5A5A500000000ull ^ seed),
      slowNoise_(0x5A5A5A5A00000000ull ^ seed), epoch_(clock.monotonicSeconds())
{
    for (int i = 0; i < SensorWordCount; ++i) {
        const RegisterLayout& layout = layoutOf(2 * i);
        flash_[static_cast<std::size_t>(i)] = layout.factory & layout.flashMask;
    }
    word(A::Endurance) = 1;
    powerUp(epoch_);
}

// ---- power ---------------------------------------------------------------------------

void SimSensor::powerUp(double time)
{
    for (int i = 0; i < SensorWordCount; ++i) {
        const RegisterLayout& layout = layoutOf(2 * i);
        if (layout.kind == RegisterKind::Control || layout.kind == RegisterKind::Output)
            words_[static_cast<std::size_t>(i)] = flash_[static_cast<std::size_t>(i)];
    }
    newData_ = 0;
    liveStatus_ = 0;
    heldStatus_ = 0;
    dacOutput_ = word(A::Aux_DAC);
    angle_ = 0.0;
    filter_.clear();
    alarms_.clear();
    asleep_ = false;
    prepared_ = 0;
    shifting_.reset();
    powerUpTime_ = time;
    samples_ = 0;
    lastSampleTime_ = time;
    takeSample(time);
    restartSampling(time);
}

void SimSensor::powerCycle()
{
    powerUp(now());
}

void SimSensor::restartSampling(double from)
{
    period_ = samplePeriodSeconds(word(A::Smpl_Prd));
    anchor_ = from;
    nextIndex_ = 1;
}

void SimSensor::wakeIfDue(double time)
{
    if (!asleep_ || time < wakeTime_)
        return;
    asleep_ = false;
    prepared_ = 0;
    word(A::Pwr_Mde) = 0;
    lastSampleTime_ = wakeTime_;
    restartSampling(wakeTime_);
}

// ---- the SPI side --------------------------------------------------------------------

std::uint16_t SimSensor::shiftOut(double time)
{
    if (!connected_)
        return 0xFFFF;
    wakeIfDue(time);
    return asleep_ ? std::uint16_t{0} : prepared_;
}

std::uint16_t SimSensor::pendingAnswer()
{
    shifting_ = shiftOut(now());
    return *shifting_;
}

void SimSensor::frameReceived(std::uint16_t frame)
{
    const double time = now();
    const std::uint16_t in = shifting_ ? *shifting_ : shiftOut(time);
    shifting_.reset();
    record(time, frame, in);
    if (!connected_ || asleep_)
        return;

    advanceTo(time);
    const int address = (frame >> 8) & 0x7F;
    if ((frame & 0x8000) != 0)
        writeByte(address, static_cast<std::uint8_t>(frame & 0xFF), time);
    prepared_ = loadForShifting(address);
}

void SimSensor::update()
{
    const double time = now();
    wakeIfDue(time);
    if (!asleep_)
        advanceTo(time);
}

void SimSensor::record(double time, std::uint16_t out, std::uint16_t in)
{
    if (!traceEnabled_)
        return;
    if (trace_.size() >= TraceLimit)
        trace_.erase(trace_.begin(), trace_.begin() + static_cast<std::ptrdiff_t>(TraceLimit / 2));
    trace_.push_back({time, out, in});
}

std::uint16_t SimSensor::loadForShifting(int address)
{
    const int index = wordIndexOf(address);
    const std::uint16_t content = composedWord(index);
    if (held_[static_cast<std::size_t>(index)])
        return content;
    newData_ &= ~(std::uint64_t{1} << index);
    if (layoutOf(address).kind == RegisterKind::Status)
        heldStatus_ = 0;
    return content;
}

std::uint16_t SimSensor::composedWord(int index) const
{
    const auto i = static_cast<std::size_t>(index);
    if (held_[i])
        return *held_[i];
    switch (layoutOf(2 * index).kind) {
    case RegisterKind::Output: {
        std::uint16_t w = words_[i];
        if ((newData_ >> index) & 1)
            w |= NewDataFlag;
        if (status() != 0)
            w |= ErrorFlag;
        return w;
    }
    case RegisterKind::Status:
        return status();
    case RegisterKind::Command:
    case RegisterKind::Unmapped:
        return 0;
    case RegisterKind::Counter:
    case RegisterKind::Control:
        break;
    }
    return words_[i];
}

// ---- writes and commands -------------------------------------------------------------

void SimSensor::writeByte(int address, std::uint8_t data, double time)
{
    const RegisterLayout& layout = layoutOf(address);
    if (layout.writeMask == 0) {
        heldStatus_ |= StatusBit::SpiWrite;
        return;
    }
    const int shift = (address & 1) * 8;
    const auto mask = static_cast<std::uint16_t>(layout.writeMask & (0xFF << shift));
    if (mask == 0)
        return; // the unused high byte of a one-byte register
    std::uint16_t& w = word(address);
    w = static_cast<std::uint16_t>((w & ~mask) | ((data << shift) & mask));
    afterWrite(layout.address, time);
}

void SimSensor::afterWrite(int address, double time)
{
    switch (address) {
    case A::ANGL_OUT:
        angle_ = word(A::ANGL_OUT) * AngleDegreesPerCount;
        break;
    case A::Smpl_Prd:
        restartSampling(lastSampleTime_);
        break;
    case A::Pwr_Mde:
        if (word(A::Pwr_Mde) != 0) {
            asleep_ = true;
            wakeTime_ = time + 0.5 * word(A::Pwr_Mde);
        }
        break;
    case A::Command:
        runCommand(word(A::Command), time);
        word(A::Command) = 0;
        break;
    default:
        break;
    }
}

void SimSensor::runCommand(std::uint16_t bits, double time)
{
    if ((bits & CommandBit::FactoryRestore) != 0) {
        for (int i = 0; i < SensorWordCount; ++i) {
            const RegisterLayout& layout = layoutOf(2 * i);
            if (layout.flashMask != 0)
                words_[static_cast<std::size_t>(i)] = layout.factory;
        }
        restartSampling(lastSampleTime_);
    }
    if ((bits & CommandBit::AutoNull) != 0) {
        const double bias = model_.biasAt(temperatureAt(time)) * gain();
        const int count = roundedClamp(-bias / OffsetDegPerSecPerCount, -2048, 2047);
        word(A::GYRO_OFST) = field(count, 12);
    }
    if ((bits & CommandBit::DacLatch) != 0)
        dacOutput_ = word(A::Aux_DAC) & 0x0FFF;
    if ((bits & CommandBit::FlashUpdate) != 0) {
        if (supplyVolts_ < SupplyLowVolts) {
            heldStatus_ |= StatusBit::ControlWrite;
        } else {
            for (int i = 0; i < SensorWordCount; ++i) {
                const auto k = static_cast<std::size_t>(i);
                flash_[k] = words_[k] & layoutOf(2 * i).flashMask;
            }
            ++word(A::Endurance);
        }
    }
}

// ---- sampling ------------------------------------------------------------------------

double SimSensor::offsetDegPerSec() const
{
    return signExtend(word(A::GYRO_OFST), 12) * OffsetDegPerSecPerCount;
}

double SimSensor::selfTestDegPerSec() const
{
    const bool on = (word(A::Msc_Ctrl) & SelfTestBit) != 0;
    return on && !selfTestFault_ ? model_.selfTestDegPerSec : 0.0;
}

double SimSensor::temperatureAt(double time) const
{
    return model_.temperatureC(time - epoch_, time - powerUpTime_);
}

double SimSensor::biasNow()
{
    return model_.biasAt(temperatureAt(now()));
}

void SimSensor::advanceTo(double time)
{
    if (time < anchor_)
        return;
    const auto last = static_cast<std::int64_t>(std::floor((time - anchor_) / period_));
    const std::int64_t due = last - nextIndex_ + 1;
    if (due > ExplicitSamples)
        skipSamples(due - ExplicitSamples);
    for (; nextIndex_ <= last; ++nextIndex_)
        takeSample(anchor_ + static_cast<double>(nextIndex_) * period_);
}

// Moves the angle over `count` samples without taking them: the noiseless rate in
// quarter-second steps plus the random walk that their noise would have made.
void SimSensor::skipSamples(std::int64_t count)
{
    const auto perStep = std::max<std::int64_t>(1, std::llround(SkipStepSeconds / period_));
    const double sigma =
        wideBandwidthOf(word(A::Sens_Avg)) ? model_.noiseWideDegPerSec : model_.noiseNarrowDegPerSec;
    const double start = anchor_ + static_cast<double>(nextIndex_) * period_;
    for (std::int64_t done = 0; done < count;) {
        const std::int64_t n = std::min(perStep, count - done);
        const double mid = start + (static_cast<double>(done) + 0.5 * static_cast<double>(n - 1)) * period_;
        const double motion = model_.motion ? model_.motion(mid - epoch_) : 0.0;
        const double rate =
            (motion + model_.biasAt(temperatureAt(mid)) + selfTestDegPerSec()) * gain() + offsetDegPerSec();
        angle_ += rate * static_cast<double>(n) * period_;
        done += n;
    }
    angle_ += noise_.gaussian() * sigma * gain() * std::sqrt(static_cast<double>(count)) * period_;
    angle_ += slowNoise_.value() * gain() * static_cast<double>(count) * period_;
    slowNoise_.advance(static_cast<double>(count) * period_, model_.biasInstabilityDegPerSec,
                       model_.rateRandomWalkDegPerSecPerRootSec);
    angle_ -= AngleWrapDegrees * std::floor(angle_ / AngleWrapDegrees);
    nextIndex_ += count;
    samples_ += static_cast<std::uint64_t>(count);
    lastSampleTime_ = anchor_ + static_cast<double>(nextIndex_ - 1) * period_;
}

void SimSensor::takeSample(double time)
{
    const std::uint16_t sensAvg = word(A::Sens_Avg);
    const RateRange range = rateRangeOf(sensAvg);

    // The rate: filtered for Gyro_Out, unfiltered into the angle.
    const double celsius = temperatureAt(time);
    const double sigma = wideBandwidthOf(sensAvg) ? model_.noiseWideDegPerSec : model_.noiseNarrowDegPerSec;
    const double motion = model_.motion ? model_.motion(time - epoch_) : 0.0;
    const double slow = slowNoise_.advance(time - lastSampleTime_, model_.biasInstabilityDegPerSec,
                                           model_.rateRandomWalkDegPerSecPerRootSec);
    const double sensed =
        motion + model_.biasAt(celsius) + slow + selfTestDegPerSec() + sigma * noise_.gaussian();
    filter_.push(sensed);
    const double rate = filter_.mean(filterTapsOf(sensAvg)) * gain() + offsetDegPerSec();
    const int rateCount = roundedClamp(rate / range.degPerSecPerCount, -8192, 8191);

    angle_ += (sensed * gain() + offsetDegPerSec()) * (time - lastSampleTime_);
    angle_ -= AngleWrapDegrees * std::floor(angle_ / AngleWrapDegrees);
    lastSampleTime_ = time;
    const int angleCount = static_cast<int>(std::lround(angle_ / AngleDegreesPerCount)) & 0x3FFF;

    const double volts = supplyVolts_ + model_.supplyNoiseVolts * noise_.gaussian();
    const int supplyCount = roundedClamp(volts / SupplyVoltsPerCount, 0, 4095);
    const int auxCount = roundedClamp(dacOutput_ + model_.auxAdcNoiseCounts * noise_.gaussian(), 0, 4095);
    const double measuredC = celsius + model_.temperatureNoiseC * noise_.gaussian();
    const int tempCount = roundedClamp((measuredC - 25.0) / TempCelsiusPerCount, -2048, 2047);

    word(A::Gyro_Out) = field(rateCount, 14);
    word(A::ANGL_OUT) = static_cast<std::uint16_t>(angleCount);
    word(A::Supply_Out) = static_cast<std::uint16_t>(supplyCount);
    word(A::Aux_ADC) = static_cast<std::uint16_t>(auxCount);
    word(A::Temp_Out) = field(tempCount, 12);
    newData_ |= OutputWords;

    alarms_.record({supplyCount, rateCount, auxCount, tempCount});
    std::uint16_t live = alarms_.statusBits(
        {word(A::Alm_Ctrl), word(A::Alm_Mag1), word(A::Alm_Mag2), word(A::Alm_Smpl1), word(A::Alm_Smpl2)});
    if (volts < SupplyLowVolts)
        live |= StatusBit::SupplyLow;
    if (volts > SupplyHighVolts)
        live |= StatusBit::SupplyHigh;
    if (std::abs(rate) > range.fullScaleDegPerSec)
        live |= StatusBit::OverRange;
    if ((word(A::Msc_Ctrl) & SelfTestBit) != 0 && selfTestFault_)
        live |= StatusBit::SelfTestFail;
    liveStatus_ = live;
    ++samples_;
}

// ---- register file access for tests -----------------------------------------------------

std::uint16_t SimSensor::registerWord(int address) const
{
    return composedWord(wordIndexOf(address));
}

void SimSensor::setRegisterWord(int address, std::uint16_t value)
{
    const RegisterLayout& layout = layoutOf(address);
    if (layout.kind != RegisterKind::Control) {
        held_[static_cast<std::size_t>(wordIndexOf(address))] = value;
        return;
    }
    update(); // samples up to now keep the old configuration
    word(address) = value;
    if (layout.address == A::Smpl_Prd)
        restartSampling(lastSampleTime_);
}

void SimSensor::releaseRegister(int address)
{
    held_[static_cast<std::size_t>(wordIndexOf(address))].reset();
}

std::uint16_t SimSensor::flashWord(int address) const
{
    return flash_[static_cast<std::size_t>(wordIndexOf(address))];
}

} // namespace gyro::sim
