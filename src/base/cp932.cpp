#include "base/cp932.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace velnor::cp932 {
namespace {

#include "base/cp932_table.inc"

constexpr int kTrailCount = 0xFD - 0x40;

int LeadIndex(unsigned char lead) {
  if (lead >= 0x81 && lead <= 0x9F) return lead - 0x81;
  if (lead >= 0xE0 && lead <= 0xFC) return lead - 0xE0 + (0xA0 - 0x81);
  return -1;
}

// cp932 bytes of one UTF-16 unit: 0 when unmapped.
uint16_t EncodeUnit(char16_t c) {
  if (c < 0x80) return c;
  if (c >= 0xFF61 && c <= 0xFF9F) return static_cast<uint16_t>(c - 0xFF61 + 0xA1);
  const auto* begin = std::begin(kUnicodeToCp932);
  const auto* end = std::end(kUnicodeToCp932);
  const auto* it = std::lower_bound(begin, end, c, [](const uint16_t(&e)[2], char16_t v) { return e[0] < v; });
  return (it != end && (*it)[0] == c) ? (*it)[1] : 0;
}

}  // namespace

int ByteCount(StringView text) {
  int bytes = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      ++i;
      bytes += 1;
      continue;
    }
    const uint16_t code = EncodeUnit(text[i]);
    bytes += code > 0xFF ? 2 : 1;
  }
  return bytes;
}

std::string Encode(StringView text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;
    const uint16_t code = (text[i] == 0) ? 0 : EncodeUnit(text[i]);
    if (text[i] != 0 && code == 0) {
      out.push_back('?');
    } else if (code > 0xFF) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else {
      out.push_back(static_cast<char>(code));
    }
  }
  return out;
}

bool CanHold(StringView text) { return Decode(Encode(text)) == text; }

String Decode(std::string_view bytes) {
  String out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(b);
    } else if (b >= 0xA1 && b <= 0xDF) {
      out.push_back(static_cast<char16_t>(0xFF61 + (b - 0xA1)));
    } else if (const int lead = LeadIndex(b); lead >= 0) {
      // Like Windows: a lead byte takes the next byte with it whatever it is; a pair with no
      // character, or a lead byte at the very end, reads as the default U+30FB.
      if (i + 1 >= bytes.size()) {
        out.push_back(u'\u30FB');
        break;
      }
      const auto trail = static_cast<unsigned char>(bytes[i + 1]);
      const char16_t c =
          (trail >= 0x40 && trail <= 0xFC) ? kDoubleByteToUnicode[lead * kTrailCount + (trail - 0x40)] : 0;
      out.push_back(c ? c : u'\u30FB');
      ++i;
    } else if (b == 0x80) {
      out.push_back(u'\u0080');
    } else if (b == 0xA0) {
      out.push_back(u'\uF8F0');
    } else {
      out.push_back(static_cast<char16_t>(0xF8F1 + (b - 0xFD)));
    }
  }
  return out;
}

namespace {

// Full-width katakana U+30A1..U+30FC to half-width; 0 where there is no half-width form.
// A second value is the voiced (U+FF9E) or semi-voiced (U+FF9F) mark that follows.
// (cppcheck misses the reads of the members through the constexpr table.)
struct HalfKana {
  // cppcheck-suppress unusedStructMember
  char16_t base;
  // cppcheck-suppress unusedStructMember
  char16_t mark;
};

constexpr std::array<HalfKana, 0x30FC - 0x30A1 + 1> MakeKanaTable() {
  std::array<HalfKana, 0x30FC - 0x30A1 + 1> t{};
  auto set = [&t](char16_t full, char16_t half, char16_t mark = 0) { t[full - 0x30A1] = {half, mark}; };
  // Small vowels and the plain vowels.
  const char16_t smallA[] = {0xFF67, 0xFF68, 0xFF69, 0xFF6A, 0xFF6B};
  const char16_t vowelA[] = {0xFF71, 0xFF72, 0xFF73, 0xFF74, 0xFF75};
  for (int k = 0; k < 5; ++k) {
    set(static_cast<char16_t>(0x30A1 + 2 * k), smallA[k]);
    set(static_cast<char16_t>(0x30A2 + 2 * k), vowelA[k]);
  }
  // Ka .. To: each letter followed by its voiced form; small tsu sits before Tsu.
  const char16_t kaToKo[] = {0xFF76, 0xFF77, 0xFF78, 0xFF79, 0xFF7A, 0xFF7B, 0xFF7C, 0xFF7D, 0xFF7E, 0xFF7F,
                             0xFF80, 0xFF81};
  char16_t full = 0x30AB;  // カ
  for (char16_t half : kaToKo) {
    set(full, half);
    set(static_cast<char16_t>(full + 1), half, 0xFF9E);
    full = static_cast<char16_t>(full + 2);
  }
  set(0x30C3, 0xFF6F);            // ッ
  set(0x30C4, 0xFF82);            // ツ
  set(0x30C5, 0xFF82, 0xFF9E);    // ヅ
  set(0x30C6, 0xFF83);            // テ
  set(0x30C7, 0xFF83, 0xFF9E);    // デ
  set(0x30C8, 0xFF84);            // ト
  set(0x30C9, 0xFF84, 0xFF9E);    // ド
  const char16_t naToNo[] = {0xFF85, 0xFF86, 0xFF87, 0xFF88, 0xFF89};
  for (int k = 0; k < 5; ++k) set(static_cast<char16_t>(0x30CA + k), naToNo[k]);
  const char16_t haToHo[] = {0xFF8A, 0xFF8B, 0xFF8C, 0xFF8D, 0xFF8E};
  for (int k = 0; k < 5; ++k) {
    const auto h = static_cast<char16_t>(0x30CF + 3 * k);
    set(h, haToHo[k]);
    set(static_cast<char16_t>(h + 1), haToHo[k], 0xFF9E);
    set(static_cast<char16_t>(h + 2), haToHo[k], 0xFF9F);
  }
  const char16_t maToMo[] = {0xFF8F, 0xFF90, 0xFF91, 0xFF92, 0xFF93};
  for (int k = 0; k < 5; ++k) set(static_cast<char16_t>(0x30DE + k), maToMo[k]);
  set(0x30E3, 0xFF6C);  // ャ
  set(0x30E4, 0xFF94);  // ヤ
  set(0x30E5, 0xFF6D);  // ュ
  set(0x30E6, 0xFF95);  // ユ
  set(0x30E7, 0xFF6E);  // ョ
  set(0x30E8, 0xFF96);  // ヨ
  const char16_t raToRo[] = {0xFF97, 0xFF98, 0xFF99, 0xFF9A, 0xFF9B};
  for (int k = 0; k < 5; ++k) set(static_cast<char16_t>(0x30E9 + k), raToRo[k]);
  set(0x30EF, 0xFF9C);            // ワ
  set(0x30F2, 0xFF66);            // ヲ
  set(0x30F3, 0xFF9D);            // ン
  set(0x30F4, 0xFF73, 0xFF9E);    // ヴ
  set(0x30F7, 0xFF9C, 0xFF9E);    // ヷ
  set(0x30FA, 0xFF66, 0xFF9E);    // ヺ
  set(0x30FB, 0xFF65);            // ・
  set(0x30FC, 0xFF70);            // ー
  return t;
}

constexpr auto kKana = MakeKanaTable();

}  // namespace

String NarrowFullWidth(StringView text) {
  String out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
      out.push_back(static_cast<char16_t>(c - 0xFF01 + 0x21));
    } else if (c == 0x3000) {
      out.push_back(u' ');
    } else if (c >= 0x30A1 && c <= 0x30FC && kKana[c - 0x30A1].base != 0) {
      out.push_back(kKana[c - 0x30A1].base);
      if (kKana[c - 0x30A1].mark) out.push_back(kKana[c - 0x30A1].mark);
    } else {
      switch (c) {
        case 0x3001: out.push_back(0xFF64); break;  // 、
        case 0x3002: out.push_back(0xFF61); break;  // 。
        case 0x300C: out.push_back(0xFF62); break;  // 「
        case 0x300D: out.push_back(0xFF63); break;  // 」
        case 0x309B: out.push_back(0xFF9E); break;  // ゛
        case 0x309C: out.push_back(0xFF9F); break;  // ゜
        case 0xFFE0: out.push_back(0x00A2); break;  // ￠
        case 0xFFE1: out.push_back(0x00A3); break;  // ￡
        case 0xFFE2: out.push_back(0x00AC); break;  // ￢
        case 0xFFE3: out.push_back(0x00AF); break;  // ￣
        case 0xFFE4: out.push_back(0x00A6); break;  // ￤
        case 0xFFE5: out.push_back(0x00A5); break;  // ￥
        case 0xFFE6: out.push_back(0x20A9); break;  // ￦
        default: out.push_back(c); break;
      }
    }
  }
  return out;
}

}  // namespace velnor::cp932
