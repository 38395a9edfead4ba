#pragma once
// The simulated gyroscope on its SPI link: a register file behind the 16-bit frame
// protocol, with outputs that move plausibly and deterministically from a seed.
//
// Protocol. Each frame is answered with the 16-bit word of the register named by the
// frame before it (bits 14..8 of a frame hold the address; an odd address names the word
// at address - 1). A read frame is address x 256. A write frame, 0x8000 + address x 256 +
// data, changes one byte: an even address the low byte, an odd one the high byte of the
// word. Read-only and unmapped addresses ignore writes and set the SPI write flag of
// Status; the unused high byte of a one-byte register ignores writes silently. Command is
// write-only (reads 0) and acts when its low byte is written. The first frame after
// power-up is answered with 0.
//
// Time. All state advances lazily from the clock when a frame arrives (or on update()),
// so an idle sensor costs nothing and a fake clock drives it exactly. The internal sample
// period comes from Smpl_Prd (samplePeriodSeconds()); the first sample is taken at
// power-up. After a long silence only the last 4096 samples are taken one by one; the
// angle integrates the samples before them in quarter-second steps.
//
// Each sample:
//   rate   = (motion + bias(temperature) + self-test + noise) x GYRO_SCALE/2048
//            + GYRO_OFST x 0.018315 deg/s
//   Gyro_Out  = filter mean of the rate (Sens_Avg taps) / range step (0.07326, 0.03663 or
//               0.018315 deg/s), rounded, clamped to -8192..8191, 14-bit two's complement
//   ANGL_OUT  = running integral of the unfiltered rate, 0.03663 deg per count, wrapping
//               modulo 16384 counts
//   Temp_Out  = (temperature - 25 C) / 0.1454139, 12-bit two's complement
//   Supply_Out= supply volts / 0.00183, 12 bits
//   Aux_ADC   = the latched Aux_DAC code: the DAC output (0..4095 for 0..2.5 V) is wired to
//               the ADC input, whose 4095 counts also span 2.5 V (0.6105 mV per count)
// Every output gets its new-data flag (bit 15); loading a register for shifting out (any
// frame naming it) clears that register's flag. Bit 14 is set while Status is not 0.
//
// Status: bit 0 supply below 4.75 V, bit 1 above 5.25 V, bit 4 |rate| beyond the range's
// full scale, bit 5 self-test on while the self-test fault is injected, bits 8 and 9 the
// alarms (SensorAlarms.h) - all as of the newest sample; bit 2 a flash update refused for
// low supply and bit 3 a write to a read-only or unmapped address - both held until
// Status is shifted out.
//
// Commands (bits of the value written to Command, acted on in this order):
//   2 factory restore: the configuration registers (offset, gain, trim, alarms, DAC code,
//     I/O, Msc_Ctrl, Smpl_Prd, Sens_Avg) take their factory values; flash is untouched.
//   1 automatic null: GYRO_OFST := the count that cancels the current bias (as measured
//     at rest, whatever the motion), limited to -2048..2047.
//   4 DAC latch: the DAC output takes the Aux_DAC code; writing Aux_DAC alone changes
//     only the register.
//   8 flash update: the configuration registers are stored (Msc_Ctrl without its upper
//     byte, so self-test never survives) and Endurance counts up; refused with Status
//     bit 2 while the supply is low.
//
// Self-test: Msc_Ctrl bit 8 adds SensorModel::selfTestDegPerSec (40 deg/s by default) to
// the rate. Power-down: a nonzero byte n written to Pwr_Mde sleeps the sensor for n / 2
// seconds from that frame: it answers 0x0000, ignores frames and takes no samples. The
// first frame after waking is answered with 0 (the word prepared before sleep is lost),
// Pwr_Mde reads 0 again, and sampling restarts one period after the wake time.
//
// Disconnected: the MISO line floats and the card's pull-up reads all ones, so every
// frame is answered 0xFFFF; frames do not reach the sensor, which keeps running.
//
// Factory state: Smpl_Prd 0x0001 (256 samples/s), Sens_Avg 0x0402 (320 deg/s, 9 taps,
// 50 Hz), GYRO_SCALE 0x0800 (gain 1), everything else 0; Endurance starts at 1.
#include "Clock.h"
#include "RateFilter.h"
#include "RateNoise.h"
#include "SensorAlarms.h"
#include "SensorModel.h"
#include "SensorRegisters.h"
#include "SimRandom.h"
#include "SpiDevice.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace gyro::sim {

class SimSensor final : public SpiDevice {
public:
    struct TracedFrame {
        double time; // clock's monotonic seconds when the frame arrived
        std::uint16_t out;
        std::uint16_t in;
    };

    // Powers up with the factory configuration in flash; deterministic for a seed and
    // a sequence of clock readings.
    explicit SimSensor(Clock& clock, std::uint32_t seed = 1);

    // SpiDevice
    std::uint16_t pendingAnswer() override;
    void frameReceived(std::uint16_t frame) override;
    // The frames of one card transfer arrive at the instant it began: a sample falls
    // before or after the whole transfer, never between two of its frames, so a read
    // that names its register twice cannot clear the flag of a sample it never delivered.
    void transferBegins() override { transferTime_ = clock_.monotonicSeconds(); }
    void transferEnds() override { transferTime_.reset(); }

    // Brings the samples up to the clock's time without a frame (for inspection in tests).
    void update();

    // Switches the power off and on: the flashed configuration comes back, everything
    // not flashed (outputs, angle, Pwr_Mde, held Status events, DAC latch) starts afresh.
    void powerCycle();

    // Faults and environment, for tests and demos.
    void setConnected(bool connected) { connected_ = connected; }
    bool connected() const { return connected_; }
    void setSupplyVolts(double volts) { supplyVolts_ = volts; }
    double supplyVolts() const { return supplyVolts_; }
    // With the fault, self-test produces no shift and sets Status bit 5.
    void setSelfTestFault(bool fault) { selfTestFault_ = fault; }

    // The physics; change it to script motion, bias or noise (takes effect from the next sample).
    const SensorModel& model() const { return model_; }
    void setModel(SensorModel model) { model_ = std::move(model); }

    // Register file. Addresses are masked to 7 bits; an odd address means its word.
    // The word a read would answer (flags included) as of the last frame or update(),
    // without clearing any flag.
    std::uint16_t registerWord(int address) const;
    // Forces a word. Configuration registers take it as stored content (no write masks,
    // no commands, no power-down) and the model uses it from the next sample. Any other
    // word (outputs, Status, Endurance, Command, unmapped) is answered exactly as given,
    // flags included, until releaseRegister(): samples and reads leave it alone.
    void setRegisterWord(int address, std::uint16_t word);
    void releaseRegister(int address);
    // The word the flash holds for a configuration register (0 for others).
    std::uint16_t flashWord(int address) const;

    // Observations for tests, as of the last frame or update().
    bool poweredDown() const { return asleep_; }
    double samplePeriod() const { return period_; }
    std::uint64_t sampleCount() const { return samples_; } // since power-up
    int dacOutputCode() const { return dacOutput_; }       // the latched DAC code
    double biasNow(); // the true rate bias at the clock's time, deg/s, before gain and offset

    // Frame trace: every frame, out and in, in order (also while asleep or disconnected).
    // It keeps at most the last million frames or so: when full, the older half goes.
    const std::vector<TracedFrame>& trace() const { return trace_; }
    void clearTrace() { trace_.clear(); }
    void setTraceEnabled(bool enabled) { traceEnabled_ = enabled; }

private:
    using Words = std::array<std::uint16_t, SensorWordCount>;

    std::uint16_t& word(int address) { return words_[static_cast<std::size_t>(wordIndexOf(address))]; }
    std::uint16_t word(int address) const { return words_[static_cast<std::size_t>(wordIndexOf(address))]; }
    double now() { return transferTime_ ? *transferTime_ : clock_.monotonicSeconds(); }

    void powerUp(double time);
    std::uint16_t shiftOut(double time);
    void wakeIfDue(double time);
    void advanceTo(double time);
    void skipSamples(std::int64_t count);
    void takeSample(double time);
    void restartSampling(double from);

    void writeByte(int address, std::uint8_t data, double time);
    void afterWrite(int address, double time);
    void runCommand(std::uint16_t bits, double time);
    std::uint16_t loadForShifting(int address);
    std::uint16_t composedWord(int index) const;
    std::uint16_t status() const { return liveStatus_ | heldStatus_; }
    void record(double time, std::uint16_t out, std::uint16_t in);

    double gain() const { return word(SensorAddress::GYRO_SCALE) / static_cast<double>(GyroScaleUnity); }
    double offsetDegPerSec() const;
    double selfTestDegPerSec() const;
    double temperatureAt(double time) const;

    Clock& clock_;
    SensorModel model_;
    SimRandom noise_;
    RateNoise slowNoise_; // bias instability and rate random walk
    const double epoch_;  // the clock's time at construction: motion time 0

    Words words_{};
    Words flash_{};
    std::array<std::optional<std::uint16_t>, SensorWordCount> held_{};
    std::uint64_t newData_ = 0; // bit i: word i has fresh data
    std::uint16_t liveStatus_ = 0;
    std::uint16_t heldStatus_ = 0;
    int dacOutput_ = 0;
    double angle_ = 0.0; // degrees, kept within one wrap of ANGL_OUT
    RateFilter filter_;
    SensorAlarms alarms_;

    double powerUpTime_ = 0.0;
    double period_ = 0.0;
    double anchor_ = 0.0;         // sample k falls at anchor_ + k x period_
    std::int64_t nextIndex_ = 0;  // k of the next sample
    double lastSampleTime_ = 0.0; // the angle integrates from here
    std::uint64_t samples_ = 0;

    bool asleep_ = false;
    double wakeTime_ = 0.0;

    std::uint16_t prepared_ = 0; // shifted out during the next frame
    std::optional<std::uint16_t> shifting_;

    bool connected_ = true;
    double supplyVolts_ = 5.0;
    bool selfTestFault_ = false;

    std::vector<TracedFrame> trace_;
    bool traceEnabled_ = true;
    std::optional<double> transferTime_; // set while a card transfer is clocked through
};

} // namespace gyro::sim
