#include "base/text.h"

namespace velnor {
namespace {

// Code units of the character that starts at i.
size_t CharacterLength(StringView text, size_t i) {
  return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
}

}  // namespace

size_t CharacterCount(StringView text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) ++count;
  return count;
}

StringView LastCharacter(StringView text) {
  if (text.empty()) return text;
  const size_t n = text.size();
  const bool pair = n >= 2 && IsLowSurrogate(text[n - 1]) && IsHighSurrogate(text[n - 2]);
  return text.substr(n - (pair ? 2 : 1));
}

StringView FirstCharacters(StringView text, size_t count) {
  size_t i = 0;
  for (; i < text.size() && count > 0; --count) i += CharacterLength(text, i);
  return text.substr(0, i);
}

String FromUtf8(std::string_view utf8) {
  String out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    char32_t cp = 0xFFFD;
    size_t len = 1;
    if (b0 < 0x80) {
      cp = b0;
    } else if ((b0 & 0xE0) == 0xC0) {
      len = 2;
    } else if ((b0 & 0xF0) == 0xE0) {
      len = 3;
    } else if ((b0 & 0xF8) == 0xF0) {
      len = 4;
    }
    if (len > 1) {
      bool ok = i + len <= utf8.size();
      char32_t v = b0 & (0x7F >> len);
      for (size_t k = 1; ok && k < len; ++k) {
        const auto b = static_cast<unsigned char>(utf8[i + k]);
        ok = (b & 0xC0) == 0x80;
        v = (v << 6) | (b & 0x3F);
      }
      static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
      if (ok && v >= kMin[len] && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) {
        cp = v;
      } else {
        len = 1;
      }
    }
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  // The rules of FromUtf8, without a copy: a settings file may be large.
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
      ++i;
      continue;
    }
    const size_t len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > bytes.size()) return false;
    char32_t v = b0 & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      v = (v << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kMin[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

std::string ToUtf8(StringView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (CharacterLength(text, i) == 2) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

String LowerAscii(StringView text) {
  String lower(text);
  for (char16_t& c : lower) c = LowerAscii(c);
  return lower;
}

StringView TrimBlanks(StringView text) {
  const size_t begin = text.find_first_not_of(u" \t");
  if (begin == StringView::npos) return {};
  return text.substr(begin, text.find_last_not_of(u" \t") - begin + 1);
}

bool EqualsIgnoringAsciiCase(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace velnor
