#include "RegisterReading.h"

namespace gyro {

RegisterReading DecodeReading(const RegisterEntry& e, float scale, std::int32_t raw)
{
    RegisterReading r;
    r.RegHighByte = static_cast<std::int16_t>(raw / 256);
    r.RegLowByte = static_cast<std::int16_t>(raw & 0xFF);
    if (e.RegHasNewData)
        r.RegNewData = raw & static_cast<std::int32_t>(0xFFFF8000u);
    if (e.RegHasError)
        r.RegErrorFlag = raw & 0x4000;
    const int width = e.RegBitWidth;
    if (e.RegSigned) {
        // Drop the bits above the width and give the top valid bit the weight -h.
        const std::int32_t h = std::int32_t{1} << (width - 1);
        r.RegWord = (raw & (h - 1)) - (raw & h);
    } else {
        r.RegWord = raw & static_cast<std::int32_t>((std::int64_t{1} << width) - 1);
    }
    r.RegValue = static_cast<float>(r.RegWord) * scale + e.RegOffset;
    return r;
}

} // namespace gyro
