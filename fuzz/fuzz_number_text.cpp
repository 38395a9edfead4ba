// Number text fed arbitrary text and arbitrary doubles, in several locales: every
// result is finite, and each display format reads back, in its own locale, to the
// value it shows (within the rounding the format makes).
#include "FuzzState.h"
#include "NumberText.h"

#include <array>
#include <cmath>
#include <cstring>

using namespace gyro;

namespace {

const std::array<QLocale, 5>& locales()
{
    static const std::array<QLocale, 5> all{QLocale(QLocale::C), QLocale(QLocale::German, QLocale::Germany),
                                            QLocale(QLocale::French, QLocale::France),
                                            QLocale(QLocale::English, QLocale::UnitedStates),
                                            QLocale(QLocale::German, QLocale::Switzerland)};
    return all;
}

struct Pattern {
    const char* text;
    int decimals;
};
constexpr Pattern Patterns[] = {{"0.00", 2},    {"0.000", 3},  {"##0.0##", 3},
                                {"0.0####", 5}, {"#0.000", 3}, {"0", 0}};

void checkText(const QString& text)
{
    fuzz::Check(std::isfinite(LeadingNumber(text)), "LeadingNumber finite", text);
    for (const QLocale& locale : locales()) {
        const double value = LocaleNumber(text, locale);
        fuzz::Check(std::isfinite(value), "LocaleNumber finite", text);
        if (!IsNumeric(text, locale))
            fuzz::Check(value == 0.0, "a text that is no number reads as 0", text);
    }
}

void checkFormats(double value)
{
    for (const QLocale& locale : locales()) {
        for (const Pattern& pattern : Patterns) {
            const QString shown = FormatNumber(value, QString::fromLatin1(pattern.text), locale);
            fuzz::Check(IsNumeric(shown, locale), "formatted text is a number", shown);
            const double back = LocaleNumber(shown, locale);
            const double allowed =
                0.5 * std::pow(10.0, -pattern.decimals) * (1 + 1e-9) + std::abs(value) * 1e-15;
            fuzz::Check(std::abs(back - value) <= allowed, "formatted text reads back", shown);
        }
        const QString general = GeneralFormat(value, 15, locale);
        bool ok = false;
        const double back = locale.toDouble(general, &ok);
        fuzz::Check(ok, "general format reads in its locale", general);
        fuzz::Check(std::abs(back - value) <= std::abs(value) * 1e-14, "general format reads back", general);

        const auto single = static_cast<float>(value);
        if (std::isfinite(single)) {
            const QString singleText = GeneralFormat(single, locale);
            const double singleBack = locale.toDouble(singleText, &ok);
            fuzz::Check(ok && std::abs(singleBack - SingleAsDecimal(single)) <=
                                  std::abs(SingleAsDecimal(single)) * 1e-6,
                        "single general format reads back", singleText);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkText(fuzz::Text(data, size));
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        // The displays show sensor values and entries: far inside this range.
        if (std::isfinite(value) && std::abs(value) < 1e15)
            checkFormats(value);
        fuzz::Check(std::isfinite(RoundHalfEven(std::isfinite(value) ? value : 0.0)), "RoundHalfEven finite");
    }
    return 0;
}
