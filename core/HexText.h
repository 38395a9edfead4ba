#pragma once
// Hexadecimal entry and display of register words and port addresses.
#include <QString>
#include <cstdint>

namespace gyro {

// Up to four hex digits typed by the user -> 0..65535. Characters that are not
// hex digits count as the digit 0 ("0x1F" -> 31); the empty text is 0. A longer
// text is read by its last four characters, as the word is its low 16 bits.
std::int32_t HexToLong(const QString& text);

// As HexToLong, read as a two's complement word: "FFFF" -> -1, "8000" -> -32768.
std::int16_t HexToInteger(const QString& text);

// Exactly four upper-case hex digits of the value rounded to an integer (halves
// to even): its low 16 bits, so -1 gives "FFFF" and 0x12345 gives "2345".
QString ValueToHex4(double value);

// Upper-case hex without leading zeros of a 16-bit word (888 -> "378", -1 -> "FFFF").
QString HexOfInteger(std::int16_t value);

} // namespace gyro
