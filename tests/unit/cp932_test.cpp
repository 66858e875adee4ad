#include <gtest/gtest.h>

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
  EXPECT_EQ(cp932::Encode(u"\u00e9x"), "?x");
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
