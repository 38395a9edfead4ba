#pragma once
// What one register read gives back: the reading, decoded from the sensor's answer
// by the register's entry, or no reading and why. Nothing of a read is left behind
// in a shared object, so a failed read cannot be taken for the one before it.
#include "RegisterMap.h"

#include <cstdint>
#include <utility>

namespace gyro {

struct RegisterReading {
    std::int32_t RegWord = 0; // the valid bits, sign-extended where the register is signed
    std::int16_t RegHighByte = 0;
    std::int16_t RegLowByte = 0;
    std::int32_t RegNewData = 0;   // bit 15 as read, where the register has the flag; else 0
    std::int32_t RegErrorFlag = 0; // bit 14 as read, where the register has the flag; else 0
    float RegValue = 0.0f;         // RegWord in engineering units
    bool operator==(const RegisterReading&) const = default;
};

// Why a read gave no reading.
enum class NoReadingReason {
    NotReadable, // a write-only register: nothing was sent
    NoAnswer,    // no interface, a failed or short transfer, a card that is not ready
};

// A reading of type R, or the reason there is none.
template <class R> class ReadOutcome {
public:
    ReadOutcome(R reading) : reading_(std::move(reading)), read_(true) {}
    ReadOutcome(NoReadingReason why) : why_(why) {}

    explicit operator bool() const { return read_; }
    // Meaningful only when there is a reading.
    const R& operator*() const { return reading_; }
    const R* operator->() const { return &reading_; }
    // Meaningful only when there is no reading.
    NoReadingReason reason() const { return why_; }

private:
    R reading_{};
    bool read_ = false;
    NoReadingReason why_ = NoReadingReason::NoAnswer;
};

using RegisterRead = ReadOutcome<RegisterReading>;

// The reading a raw answer (0..65535) of entry `e` gives, with `scale` in place of
// the entry's own (the rate output's scale follows the sensor's range).
RegisterReading DecodeReading(const RegisterEntry& e, float scale, std::int32_t raw);

} // namespace gyro
