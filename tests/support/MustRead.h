#pragma once
// Register reads in tests that expect the sensor to answer or to stay silent.
#include "RegisterAccess.h"

#include <gtest/gtest.h>

namespace gyro::test {

// The reading of a register that must answer; a read without one fails the test
// and gives an empty reading.
inline RegisterReading MustRead(GyroState& g, int index)
{
    const RegisterRead r = ReadRegister(g, index);
    if (!r) {
        ADD_FAILURE() << "register " << index << " gave no reading";
        return {};
    }
    return *r;
}

// Whether the read of a register brought no answer (and so no reading).
inline bool NoAnswerFrom(GyroState& g, int index)
{
    const RegisterRead r = ReadRegister(g, index);
    return !r && r.reason() == NoReadingReason::NoAnswer;
}

} // namespace gyro::test
