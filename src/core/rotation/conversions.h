#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Text and number conversions of the program. "." is the decimal point in every
// direction, whatever the user's locale, so a saved delay reads back the same
// on every machine.
namespace quillarbor {

// Rounds to a whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2).
double roundHalfEven(double x);

// roundHalfEven into a 32-bit integer; nullopt when out of range or not finite.
std::optional<std::int32_t> toInt32HalfEven(double x);

// The leading number of a text: the longest prefix that reads as a number,
// blanks, tabs and line feeds skipped anywhere in it ("1 5" is 15), with an
// optional exponent, or "&H"/"&O" prefixes for hexadecimal and octal ("&H10"
// is 16; never negative, exact up to 2^53). 0 when the text does not start
// with a number; +-infinity when it is too large for a double ("1e400").
double leadingNumber(std::string_view text);

// The whole text as a number (surrounding blanks allowed), or nullopt when any
// part of it is not ("2x", "", "1e400").
std::optional<double> parseNumber(std::string_view text);

// At most 15 significant digits, no exponent for ordinary magnitudes: 0.1 -> "0.1",
// 56 -> "56", -2.5 -> "-2.5". Below 1e-5 and from 1e15 on: "1E-06", "1E+20".
std::string numberToText(double value);

std::string boolToText(bool value); // "True" / "False"

// "True"/"False" in any letter case, or a number (0 is false); nullopt otherwise.
std::optional<bool> textToBool(std::string_view text);

} // namespace quillarbor
