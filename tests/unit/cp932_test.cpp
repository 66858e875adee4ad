#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "base/cp932.h"

namespace velnor {
namespace {

TEST(Cp932ByteCount, CountsAsWindowsDoesOnAJapaneseSystem) {
  const struct {
    const char16_t* text;
    int bytes;
  } cases[] = {
      {u"", 0},
      {u"http://a/", 9},
      {u"あ", 2},
      {u"ｶ", 1},                    // half-width katakana: one byte
      {u"ｶﾞ", 2},
      {u"漢字", 4},
      {u"～", 2},                   // FULLWIDTH TILDE, the Windows mapping of 0x8160
      {u"①", 2},                   // NEC special row
      {u"\u00e9", 1},               // not in the code page: "?"
      {u"\U0001F600", 1},           // a surrogate pair becomes one "?"
      {u" \"_\" ｱﾝﾀﾞｰﾊﾞｰを追加", 19},  // the underscore box's caption
  };
  for (const auto& c : cases) EXPECT_EQ(cp932::ByteCount(c.text), c.bytes) << ToUtf8(c.text);
  // Ten full-width characters and twenty ASCII ones take forty bytes.
  EXPECT_EQ(cp932::ByteCount(String(10, u'ア') + String(20, u'x')), 40);
}

TEST(Cp932Conversion, RoundTripsJapaneseSettingsText) {
  const String texts[] = {u"起動フォルダ", u"チェック", u"サブフォルダ", u"拡張子", u"終了時フォルダ",
                          u"終了時拡張子", u"ｱﾝﾀﾞｰﾊﾞｰ", u"表\\", u"ソ", u"～①㈱"};
  for (const auto& t : texts) EXPECT_EQ(cp932::Decode(cp932::Encode(t)), t) << ToUtf8(t);
  // Bytes as a Japanese Windows writes them.
  EXPECT_EQ(cp932::Encode(u"拡張子"), "\x8a\x67\x92\xa3\x8e\x71");
  EXPECT_EQ(cp932::Encode(u"ソ"), "\x83\x5c");  // trail byte 0x5C, the backslash byte
}

TEST(Cp932Conversion, HandlesBytesThatFormNoCharacter) {
  EXPECT_EQ(cp932::Decode("\x82"), u"\u30FB");     // a lead byte at the end (a section cut there)
  EXPECT_EQ(cp932::Decode("a\x82" "1b"), u"a\u30FBb");  // a lead byte swallows any next byte
  EXPECT_EQ(cp932::Decode("\x82" "A"), u"\u30FB");  // a pair of the right shape, unassigned
  EXPECT_EQ(cp932::Decode("\x85\x40"), u"\u30FB"); // an unassigned pair
  EXPECT_EQ(cp932::Decode(std::string("a\0b", 3)), String(u"a\0b", 3));
  EXPECT_EQ(cp932::Decode("\x80\xA0\xFD"), u"\u0080\uF8F0\uF8F1");
  EXPECT_EQ(cp932::Encode(u"\U0001F600x"), "?x");
  EXPECT_EQ(cp932::Encode(u"\u00e9x"), "ex");  // a look-alike, as Windows writes it (a best fit)
}

// What WideCharToMultiByte(932) wrote for every code unit under Wine
// (scripts/cp932-windows-table.sh): bytes, and whether Windows reads them back as another
// character (a best fit).
struct WindowsBytes {
  std::string bytes;
  bool bestFit = false;
};

std::map<char16_t, WindowsBytes> WindowsTable() {
  std::ifstream in(std::string(VELNOR_TEST_DATA) + "/cp932_windows.txt");
  std::map<char16_t, WindowsBytes> table;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    unsigned first = 0, bytes = 0, count = 1;
    std::string rest;
    fields >> std::hex >> first >> bytes >> rest;
    const bool bestFit = rest == "fit";
    if (!rest.empty() && !bestFit) count = static_cast<unsigned>(std::stoul(rest, nullptr, 16));
    for (unsigned k = 0; k < count; ++k) {
      const unsigned b = bytes + k;
      WindowsBytes& w = table[static_cast<char16_t>(first + k)];
      if (b > 0xFF) w.bytes.push_back(static_cast<char>(b >> 8));
      w.bytes.push_back(static_cast<char>(b & 0xFF));
      w.bestFit = bestFit;
    }
  }
  return table;
}

TEST(Cp932Conversion, WritesEveryCharacterAsWindowsDoes) {
  const std::map<char16_t, WindowsBytes> table = WindowsTable();
  ASSERT_GT(table.size(), 9000u);
  std::vector<std::string> wrong;
  for (unsigned c = 0x80; c <= 0xFFFF; ++c) {
    if (IsHighSurrogate(static_cast<char16_t>(c)) || IsLowSurrogate(static_cast<char16_t>(c))) continue;
    const String text(1, static_cast<char16_t>(c));
    const auto it = table.find(text[0]);
    // Left out of the table: Windows writes the default character.
    const std::string expected = it == table.end() ? "?" : it->second.bytes;
    const bool held = it != table.end() && !it->second.bestFit;
    if (cp932::Encode(text) != expected || cp932::CanHold(text) != held ||
        cp932::ByteCount(text) != static_cast<int>(expected.size())) {
      std::ostringstream s;
      s << std::hex << "U+" << c;
      wrong.push_back(s.str());
    }
  }
  EXPECT_TRUE(wrong.empty()) << wrong.size() << " characters, the first " << (wrong.empty() ? "" : wrong.front());
  // The IBM extensions as Windows writes them; the NEC-selected pairs are still read.
  EXPECT_EQ(cp932::Encode(u"ⅰ髙﨑"), "\xFA\x40\xFB\xFC\xFA\xB1");
  EXPECT_EQ(cp932::Decode("\xEE\xEF\xFA\x40\xEE\xE0\xFB\xFC"), u"ⅰⅰ髙髙");
}

TEST(NarrowFullWidth, TurnsFullWidthFormsIntoHalfWidthOnes) {
  const struct {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"１２", u"12"},
      {u"１２ガ　", u"12ｶﾞ "},
      {u"ＡＢｃ！～", u"ABc!~"},
      {u"パピプペポ", u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
      {u"ヴァッ", u"ｳﾞｧｯ"},
      {u"ヲンー・「」。、", u"ｦﾝｰ･｢｣｡､"},
      {u"ひらがな漢字", u"ひらがな漢字"},  // no half-width form: unchanged
      {u"abc 1", u"abc 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(cp932::NarrowFullWidth(c.in), c.out) << ToUtf8(c.in);
}

}  // namespace
}  // namespace velnor
