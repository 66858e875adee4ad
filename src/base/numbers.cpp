#include "base/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace velnor {
namespace {

bool IsIgnoredBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int DigitValue(char16_t c, int base) {
  int v = -1;
  if (c >= u'0' && c <= u'9') v = c - u'0';
  else if (c >= u'a' && c <= u'f') v = c - u'a' + 10;
  else if (c >= u'A' && c <= u'F') v = c - u'A' + 10;
  return v < base ? v : -1;
}

double WholeNumberValue(StringView digits, int base) {
  double value = 0;
  for (char16_t c : digits) {
    const int d = DigitValue(c, base);
    if (d < 0) break;
    value = value * base + d;
  }
  return value;
}

// The power of ten of a decimal number's first significant digit, plus one: positive for
// 1 and above, zero or less below 1. The exponent's value saturates, so any length is safe.
long long DecimalOrder(const std::string& mantissa, const std::string& exponentText) {
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_of("123456789");
  if (first == std::string::npos) return 0;
  const long long order = first < point ? static_cast<long long>(point - first)
                                        : -static_cast<long long>(first - point - 1);
  long long exponent = 0;
  for (char c : exponentText) {
    if (c >= '0' && c <= '9' && exponent < 1'000'000'000) exponent = exponent * 10 + (c - '0');
  }
  if (!exponentText.empty() && exponentText[0] == '-') exponent = -exponent;
  return order + exponent;
}

}  // namespace

double LeadingNumberValue(StringView text) {
  String s;
  s.reserve(text.size());
  for (char16_t c : text) {
    if (!IsIgnoredBlank(c)) s.push_back(c);
  }
  if (s.size() >= 2 && s[0] == u'&') {
    if (s[1] == u'H' || s[1] == u'h') return WholeNumberValue(StringView(s).substr(2), 16);
    if (s[1] == u'O' || s[1] == u'o') return WholeNumberValue(StringView(s).substr(2), 8);
    return 0;
  }

  // Collect the longest prefix that forms a number, as plain ASCII for from_chars.
  std::string number;
  size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    if (s[i] == u'-') number.push_back('-');
    ++i;
  }
  bool anyDigit = false;
  bool pointSeen = false;
  std::string mantissa;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      mantissa.push_back(static_cast<char>(s[i]));
      anyDigit = true;
    } else if (s[i] == u'.' && !pointSeen) {
      mantissa.push_back('.');
      pointSeen = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0;
  number += mantissa;
  std::string exponentText;  // sign and digits, empty when the text has no exponent
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
    size_t j = i + 1;
    std::string exponent;
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) {
      exponent.push_back(static_cast<char>(s[j]));
      ++j;
    }
    const size_t firstExponentDigit = j;
    while (j < s.size() && IsDigit(s[j])) exponent.push_back(static_cast<char>(s[j++]));
    if (j > firstExponentDigit) {
      exponentText = exponent;
      number += 'e' + exponent;
    }
  }
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: saturate the way the magnitude points. The
    // exponent's sign alone does not tell ("1000...0e-0" is huge, "0.000...1e+5" tiny).
    value = DecimalOrder(mantissa, exponentText) > 0 ? HUGE_VAL : 0.0;
    if (number[0] == '-') value = -value;
  }
  return value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction > 0.5) return below + 1;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::optional<int16_t> RoundToInt16(double value) {
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
  return static_cast<int16_t>(rounded);
}

String DecimalText(int64_t value) {
  const std::string digits = std::to_string(value);
  return String(digits.begin(), digits.end());
}

}  // namespace velnor
