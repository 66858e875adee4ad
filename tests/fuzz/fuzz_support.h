#pragma once
// What the fuzz targets share: a check that stops the run with a readable report (libFuzzer
// then keeps the input as a crash), and the cutting of an input into text fields.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace velnor::fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line, const std::string& detail) {
  std::fprintf(stderr, "\n%s:%d: check failed: %s\n%s\n", file, line, condition, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

// A printable form of a text for the report: ASCII as it stands, everything else as \uXXXX.
inline std::string Show(StringView text) {
  std::string out = "\"";
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out + "\"";
}

// Splits the input at every byte `separator`; the pieces are raw bytes.
inline std::vector<std::string_view> Fields(const uint8_t* data, size_t size, char separator) {
  std::vector<std::string_view> fields;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t pos = 0;
  for (;;) {
    const size_t end = all.find(separator, pos);
    if (end == std::string_view::npos) {
      fields.push_back(all.substr(pos));
      return fields;
    }
    fields.push_back(all.substr(pos, end - pos));
    pos = end + 1;
  }
}

// UTF-8 bytes as text (invalid sequences become U+FFFD), cut to at most `limit` code units
// without leaving half a surrogate pair, so the texts hold whole characters only.
inline String Text(std::string_view bytes, size_t limit) {
  String text = FromUtf8(bytes);
  if (text.size() > limit) text.resize(limit - (IsLowSurrogate(text[limit]) ? 1 : 0));
  return text;
}

}  // namespace velnor::fuzz

#define FUZZ_CHECK(condition, detail)                                                       \
  do {                                                                                      \
    if (!(condition)) ::velnor::fuzz::Fail(#condition, __FILE__, __LINE__, (detail));      \
  } while (0)
