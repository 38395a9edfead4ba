#pragma once
// The number rules every window shares: reading numbers out of text boxes,
// rounding, and the display formats. No window parses or formats numbers itself.
#include <QLocale>
#include <QString>

namespace gyro {

// The number at the start of a text, as a plain decimal with a point: blanks are
// skipped, reading stops at the first character that cannot continue the number,
// and a text with no number gives 0 ("12abc" -> 12, "abc" -> 0, " -1.5e2" -> -150,
// "&H1F" -> 31).
double LeadingNumber(const QString& text);

// Whether the whole text, blanks around it aside, reads as a number in `locale`'s
// format (decimal mark, group separators, sign, exponent).
bool IsNumeric(const QString& text, const QLocale& locale = QLocale::system());

// The text's value in `locale`'s format; 0 when it does not read as a number.
double LocaleNumber(const QString& text, const QLocale& locale = QLocale::system());

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// A single-precision value as the decimal it stands for (0.1f -> 0.1, not
// 0.100000001...), so that displays and roundings see what a person would.
double SingleAsDecimal(float value);

// Formats with a pattern of '#' and '0' digit places and an optional point:
// "0.00", "0.000", "##0.0##", "0.0####", "#0.000", "0". '0' places are always
// shown, '#' places only when needed; halves round away from zero. The point
// shown is `locale`'s decimal mark.
QString FormatNumber(double value, const QString& pattern, const QLocale& locale = QLocale::system());
QString FormatNumber(float value, const QString& pattern, const QLocale& locale = QLocale::system());

// The general format: the shortest form with at most `significantDigits` digits
// (7 for single precision, 15 for double), no trailing zeros, scientific notation
// ("1.5E-05", "1.234568E+07") only for very small or large values.
QString GeneralFormat(double value, int significantDigits = 15, const QLocale& locale = QLocale::system());
QString GeneralFormat(float value, const QLocale& locale = QLocale::system());

} // namespace gyro
