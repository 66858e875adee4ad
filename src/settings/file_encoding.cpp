#include "settings/file_encoding.h"

#include <algorithm>

namespace velnor {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

char16_t UnitAt(std::string_view bytes, size_t i, bool bigEndian) {
  const auto a = static_cast<unsigned char>(bytes[i]);
  const auto b = static_cast<unsigned char>(bytes[i + 1]);
  return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
}

// UTF-16 code units as UTF-8; a surrogate without its partner is written as if it were a
// character of its own (three bytes, as no valid UTF-8 has them), so that it comes back.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = UnitAt(bytes, i, bigEndian);
    if (IsHighSurrogate(unit) && i + 3 < bytes.size() && IsLowSurrogate(UnitAt(bytes, i + 2, bigEndian))) {
      const char16_t low = UnitAt(bytes, i + 2, bigEndian);
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
      i += 2;
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

void AppendUnit(std::string& out, char16_t unit, bool bigEndian) {
  const auto high = static_cast<char>(unit >> 8);
  const auto low = static_cast<char>(unit & 0xFF);
  out.push_back(bigEndian ? high : low);
  out.push_back(bigEndian ? low : high);
}

// The reverse of Utf16ToUtf8, appended to `out`. The text is that, with lines of the
// program's own (valid UTF-8) put in; a byte that begins no sequence becomes U+FFFD.
void AppendUtf16(std::string& out, std::string_view text, bool bigEndian) {
  out.reserve(out.size() + text.size() * 2);
  size_t i = 0;
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    size_t length = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    char32_t c = length == 0 ? 0xFFFD : length == 1 ? b0 : b0 & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        c = 0xFFFD;
        length = k;
        break;
      }
      c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    if (c >= 0x10000) {
      AppendUnit(out, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), bigEndian);
      AppendUnit(out, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), bigEndian);
    } else {
      AppendUnit(out, static_cast<char16_t>(c), bigEndian);
    }
    i += length == 0 ? 1 : length;
  }
}

}  // namespace

SettingsFileText::SettingsFileText(std::string_view file) {
  if (file.starts_with(kUtf16LeMark) || file.starts_with(kUtf16BeMark)) {
    form_ = file.starts_with(kUtf16LeMark) ? Form::kUtf16Le : Form::kUtf16Be;
    unicode_ = true;
    const std::string_view units = file.substr(2);
    converted_ = Utf16ToUtf8(units, form_ == Form::kUtf16Be);
    bytes_ = converted_;
    if (units.size() % 2 != 0) oddByte_ = units.substr(units.size() - 1);
    return;
  }
  const bool marked = file.starts_with(kUtf8Mark);
  const std::string_view body = marked ? file.substr(kUtf8Mark.size()) : file;
  bytes_ = file;
  if (!marked) {
    const bool ascii =
        std::all_of(body.begin(), body.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || !IsValidUtf8(body)) return;
  }
  form_ = marked ? Form::kUtf8Marked : Form::kUtf8;
  unicode_ = true;
  bytes_ = body;
}

std::string SettingsFileText::FileBytes(std::string text) const {
  switch (form_) {
    case Form::kCp932:
    case Form::kUtf8:
      return text;
    case Form::kUtf8Marked:
      text.insert(0, kUtf8Mark);
      return text;
    case Form::kUtf16Le:
    case Form::kUtf16Be: {
      const bool bigEndian = form_ == Form::kUtf16Be;
      std::string bytes(bigEndian ? kUtf16BeMark : kUtf16LeMark);
      AppendUtf16(bytes, text, bigEndian);
      return bytes.append(oddByte_);
    }
  }
  return text;
}

}  // namespace velnor
