#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>

namespace gyro {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// The hex digits after "&H". Like the decimal path, a number too large for a
// double (256 or more "F"s) reads as no number: 0, never infinity.
double leadingHex(const QString& text, qsizetype pos)
{
    double value = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = QString(text[pos]).toInt(nullptr, 16);
        if (!text[pos].isDigit() && digit == 0)
            break;
        value = value * 16 + digit;
    }
    return std::isfinite(value) ? value : 0.0;
}

// A plain decimal with a point ("-1.5e2"), read the same whatever the C library's
// locale says the decimal mark is (strtod would stop at the point under a comma
// locale). No number, or one beyond a double, gives 0.
double decimalWithPoint(const char* first, const char* last)
{
    if (first != last && *first == '+')
        ++first; // from_chars takes no plus sign
    double value = 0;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && std::isfinite(value) ? value : 0.0;
}

// Replaces the C decimal point with the locale's mark.
QString withDecimalMark(QString text, const QLocale& locale)
{
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}

// The value's shortest decimal form, rounded to `decimals` places with halves away
// from zero: the rounding a person does on the digits they see (1.005 -> 1.01).
std::pair<std::string, std::string> roundedDecimal(double magnitude, int decimals)
{
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed);
    const std::string text(buffer, result.ptr);
    const auto point = text.find('.');
    std::string intPart = point == std::string::npos ? text : text.substr(0, point);
    std::string fracPart = point == std::string::npos ? std::string() : text.substr(point + 1);
    const bool roundUp = fracPart.size() > static_cast<std::size_t>(decimals) && fracPart[decimals] >= '5';
    fracPart.resize(decimals, '0');
    if (roundUp) {
        std::string digits = intPart + fracPart;
        auto i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i - 1];
        intPart = digits.substr(0, digits.size() - decimals);
        fracPart = digits.substr(digits.size() - decimals);
    }
    return {intPart, fracPart};
}

} // namespace

double LeadingNumber(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        if (!isBlank(c))
            clean.append(c);
    }
    if (clean.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return leadingHex(clean, 2);

    // Longest prefix of the form [sign] digits [. digits] [E [sign] digits].
    QByteArray number;
    qsizetype i = 0;
    auto takeDigits = [&] {
        const qsizetype start = i;
        while (i < clean.size() && clean[i].isDigit() && clean[i].unicode() < 128)
            number.append(static_cast<char>(clean[i++].unicode()));
        return i > start;
    };
    if (i < clean.size() && (clean[i] == QLatin1Char('+') || clean[i] == QLatin1Char('-')))
        number.append(static_cast<char>(clean[i++].unicode()));
    bool digits = takeDigits();
    if (i < clean.size() && clean[i] == QLatin1Char('.')) {
        number.append('.');
        ++i;
        digits = takeDigits() || digits;
    }
    if (!digits)
        return 0.0;
    if (i < clean.size() && QStringLiteral("EeDd").contains(clean[i])) {
        const QByteArray mantissa = number;
        const qsizetype mark = i;
        number.append('e');
        ++i;
        if (i < clean.size() && (clean[i] == QLatin1Char('+') || clean[i] == QLatin1Char('-')))
            number.append(static_cast<char>(clean[i++].unicode()));
        if (!takeDigits()) {
            number = mantissa;
            i = mark;
        }
    }
    return decimalWithPoint(number.constData(), number.constData() + number.size());
}

bool IsNumeric(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    const double value = locale.toDouble(trimmed, &ok);
    return ok && std::isfinite(value);
}

double LocaleNumber(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

double RoundHalfEven(double value)
{
    // nearbyint follows the default rounding mode, round-to-nearest-even.
    return std::nearbyint(value);
}

double SingleAsDecimal(float value)
{
    if (!std::isfinite(value))
        return static_cast<double>(value);
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return decimalWithPoint(buffer, result.ptr);
}

QString FormatNumber(double value, const QString& pattern, const QLocale& locale)
{
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString fracPattern = point < 0 ? QString() : pattern.mid(point + 1);
    const int minInt = static_cast<int>(intPattern.count(QLatin1Char('0')));
    const int maxFrac = static_cast<int>(fracPattern.size());
    int minFrac = 0;
    while (minFrac < maxFrac && fracPattern[minFrac] == QLatin1Char('0'))
        ++minFrac;

    const auto [intRounded, fracRounded] = roundedDecimal(std::abs(value), maxFrac);
    QString intDigits = QString::fromStdString(intRounded);
    QString fracDigits = QString::fromStdString(fracRounded);
    while (fracDigits.size() > minFrac && fracDigits.endsWith(QLatin1Char('0')))
        fracDigits.chop(1);
    if (intDigits == QLatin1String("0") && minInt == 0)
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(QLatin1Char('0'));

    const bool isZero = (intDigits + fracDigits).count(QLatin1Char('0')) == (intDigits + fracDigits).size();
    QString text = (value < 0 && !isZero) ? QStringLiteral("-") : QString();
    text += intDigits;
    if (!fracDigits.isEmpty())
        text += locale.decimalPoint() + fracDigits;
    return text;
}

QString FormatNumber(float value, const QString& pattern, const QLocale& locale)
{
    return FormatNumber(SingleAsDecimal(value), pattern, locale);
}

QString GeneralFormat(double value, int significantDigits, const QLocale& locale)
{
    if (value == 0.0)
        return QStringLiteral("0");
    // %g rules: scientific below 1E-4 or at 10^digits and above, trailing zeros dropped.
    QString text = QString::number(value, 'g', significantDigits);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return withDecimalMark(text, locale);
}

QString GeneralFormat(float value, const QLocale& locale)
{
    return GeneralFormat(SingleAsDecimal(value), 7, locale);
}

} // namespace gyro
