#pragma once
// Conversions between texts and numbers that the expansion and the settings share.
#include <cstdint>
#include <optional>

#include "base/text.h"

namespace velnor {

// The leading-number value of a text: blanks, tabs and line feeds are left out wherever
// they stand; then an optional sign, digits with at most one ".", an optional exponent
// (E or D); or &H / &O for a hexadecimal or octal whole number. Reading stops at the first
// character that does not fit; 0 when nothing fits. "12a" -> 12, "&HF" -> 15, "abc" -> 0.
double LeadingNumberValue(StringView text);

// Nearest whole number, an exact half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// RoundHalfEven into a 16-bit index; nothing when the result lies outside -32768..32767.
std::optional<int16_t> RoundToInt16(double value);

// Digits without leading zeros or blanks, "-" in front of a negative number.
String DecimalText(int64_t value);

}  // namespace velnor
