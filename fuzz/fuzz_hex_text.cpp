// Hex entry and display fed arbitrary text: results stay in their ranges and the
// four-digit display reads back to the same word.
#include "FuzzState.h"
#include "HexText.h"

#include <cmath>
#include <cstring>

using namespace gyro;

namespace {

bool isFourUpperHexDigits(const QString& text)
{
    if (text.size() != 4)
        return false;
    for (QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = fuzz::Text(data, size);
    const std::int32_t word = HexToLong(text);
    fuzz::Check(word >= 0 && word <= 0xFFFF, "HexToLong within 0..65535", text);
    const std::int16_t signedWord = HexToInteger(text);
    fuzz::Check(static_cast<std::uint16_t>(signedWord) == word, "HexToInteger is the same word", text);

    const QString shown = ValueToHex4(word);
    fuzz::Check(isFourUpperHexDigits(shown), "ValueToHex4 shows four digits", shown);
    fuzz::Check(HexToLong(shown) == word, "ValueToHex4 reads back", shown);
    fuzz::Check(HexToInteger(HexOfInteger(signedWord)) == signedWord, "HexOfInteger reads back");

    // Any double, including NaN and infinities, shows as four digits.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        const QString any = ValueToHex4(value);
        fuzz::Check(isFourUpperHexDigits(any), "ValueToHex4 of any double", any);
        if (std::isfinite(value) && std::abs(value) < 1e9) {
            const auto low = static_cast<std::int64_t>(std::nearbyint(value)) & 0xFFFF;
            fuzz::Check(HexToLong(any) == low, "ValueToHex4 keeps the low 16 bits", any);
        }
    }
    return 0;
}
