// The leading-number value of arbitrary text, checked against a reading of the same syntax
// built on the C library's strtod, and the rounding helpers applied to what comes out.
// Input: UTF-8 text, or after a first byte 0xFF, UTF-16LE code units (lone surrogates too).
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/numbers.h"
#include "fuzz_support.h"

namespace velnor {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Octal digits as hexadecimal digits of the same value, for strtod's "0x" form.
std::string OctalAsHex(const std::string& octal) {
  std::string bits;
  for (char c : octal) {
    const int d = c - '0';
    bits += (d & 4) ? '1' : '0';
    bits += (d & 2) ? '1' : '0';
    bits += (d & 1) ? '1' : '0';
  }
  while (bits.size() % 4 != 0) bits.insert(bits.begin(), '0');
  std::string hex;
  for (size_t i = 0; i < bits.size(); i += 4) {
    const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 + (bits[i + 3] - '0');
    hex += "0123456789abcdef"[nibble];
  }
  return hex;
}

struct Expected {
  double value = 0;
  bool whole = false;      // read as &H / &O: the value may be off by rounding on the way
  size_t digitCount = 0;   // digits of a whole number, for the allowed error
};

// Blanks, tabs and line feeds go first, wherever they stand; then the longest prefix that
// forms a number is handed to strtod in a form it reads exactly that way.
Expected ReferenceValue(StringView text) {
  std::string s;
  for (char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n') continue;
    s.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');  // no other character fits
  }
  Expected expected;
  if (s.size() >= 2 && s[0] == '&') {
    const char kind = s[1];
    if (kind != 'H' && kind != 'h' && kind != 'O' && kind != 'o') return expected;
    const bool hex = kind == 'H' || kind == 'h';
    std::string digits;
    for (size_t i = 2; i < s.size() && (hex ? IsHexDigit(s[i]) : (s[i] >= '0' && s[i] <= '7')); ++i) {
      digits += s[i];
    }
    expected.whole = true;
    expected.digitCount = digits.size();
    if (digits.empty()) return expected;
    const std::string literal = "0x" + (hex ? digits : OctalAsHex(digits));
    expected.value = std::strtod(literal.c_str(), nullptr);
    return expected;
  }
  std::string literal;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) literal += s[i++];
  bool digit = false;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      digit = true;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    literal += s[i];
  }
  if (!digit) return expected;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    std::string exponent = "e";
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    bool exponentDigit = false;
    for (; j < s.size() && IsDigit(s[j]); ++j) {
      exponent += s[j];
      exponentDigit = true;
    }
    if (exponentDigit) literal += exponent;
  }
  expected.value = std::strtod(literal.c_str(), nullptr);
  return expected;
}

bool CloseEnough(double actual, const Expected& expected) {
  if (actual == expected.value) return true;
  if (!std::isfinite(actual) || !std::isfinite(expected.value)) return false;
  const double error = std::fabs(actual - expected.value);
  if (expected.whole) {
    // A whole number read digit by digit is rounded at each digit once it passes 2^53.
    return error <= std::fabs(expected.value) * DBL_EPSILON * static_cast<double>(expected.digitCount + 1);
  }
  // Below the smallest normal number, flushing to zero is as good as a denormal.
  return std::fabs(expected.value) < DBL_MIN && actual == 0;
}

std::string Describe(StringView text, double actual, double expected) {
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, " gives %.17g, expected %.17g", actual, expected);
  return "text " + fuzz::Show(text) + numbers;
}

void CheckRounding(double value) {
  const double rounded = RoundHalfEven(value);
  if (std::isinf(value)) {
    FUZZ_CHECK(rounded == value, "infinity keeps its value");
  } else {
    FUZZ_CHECK(rounded == std::floor(rounded), Describe(u"", rounded, value));
    const double distance = std::fabs(rounded - value);
    FUZZ_CHECK(distance <= 0.5, Describe(u"", rounded, value));
    if (distance == 0.5) FUZZ_CHECK(std::fmod(rounded, 2.0) == 0, Describe(u"", rounded, value));
  }
  const auto index = RoundToInt16(value);
  const bool fits = rounded >= -32768.0 && rounded <= 32767.0;
  FUZZ_CHECK(index.has_value() == fits, Describe(u"", rounded, value));
  if (index) FUZZ_CHECK(static_cast<double>(*index) == rounded, Describe(u"", *index, rounded));
  // The decimal text of a whole number reads back as that number.
  if (std::fabs(value) < 9.0e15) {
    const auto whole = static_cast<int64_t>(rounded);
    const String decimal = DecimalText(whole);
    FUZZ_CHECK(LeadingNumberValue(decimal) == static_cast<double>(whole),
               Describe(decimal, LeadingNumberValue(decimal), static_cast<double>(whole)));
  }
}

}  // namespace
}  // namespace velnor

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velnor;
  String text;
  if (size > 0 && data[0] == 0xFF) {
    for (size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  } else {
    text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  }
  const double actual = LeadingNumberValue(text);
  FUZZ_CHECK(!std::isnan(actual), Describe(text, actual, 0));
  const Expected expected = ReferenceValue(text);
  FUZZ_CHECK(CloseEnough(actual, expected), Describe(text, actual, expected.value));
  CheckRounding(actual);
  return 0;
}
