#include <gtest/gtest.h>

#include "base/text.h"

namespace velnor {
namespace {

// Characters as the number fields count and cut them: a surrogate pair is one character,
// a lone surrogate one too.
TEST(Characters, CountAndCutWithoutSplittingAPair) {
  const String pair = u"\U0001F600";
  const String high(1, u'\xD83D'), low(1, u'\xDE00');
  const struct {
    String text;
    size_t count;
    String first, last, firstTwo;
  } cases[] = {
      {u"", 0, u"", u"", u""},
      {u"abc", 3, u"a", u"c", u"ab"},
      {u"１２３", 3, u"１", u"３", u"１２"},
      {pair, 1, pair, pair, pair},
      {u"1" + pair + u"2", 3, u"1", u"2", u"1" + pair},
      {pair + pair + pair, 3, pair, pair, pair + pair},
      {high + u"1", 2, high, u"1", high + u"1"},  // lone surrogates: one character each
      {u"1" + low, 2, u"1", low, u"1" + low},
      {low + high, 2, low, high, low + high},     // the wrong order is no pair
  };
  for (const auto& c : cases) {
    const std::string where = ToUtf8(c.text);
    EXPECT_EQ(CharacterCount(c.text), c.count) << where;
    EXPECT_EQ(FirstCharacters(c.text, 1), c.first) << where;
    EXPECT_EQ(LastCharacter(c.text), c.last) << where;
    EXPECT_EQ(FirstCharacters(c.text, 2), c.firstTwo) << where;
    EXPECT_EQ(FirstCharacters(c.text, 9), c.text) << where;
  }
}

// Valid exactly when FromUtf8 takes the bytes without a U+FFFD standing for any of them.
TEST(Utf8, ValidOnlyWhenEverySequenceIsACharacter) {
  const struct {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"[\xE3\x83\xA1\xE3\x83\xA2]\r\n", true},
      {"caf\xC3\xA9 \xF0\x9F\x98\x80", true},
      {"\xEF\xBF\xBD", true},           // U+FFFD itself
      {"\xF4\x8F\xBF\xBF", true},       // the last code point
      {"a\xC3", false},                  // cut at the end
      {"\xE3\x81" "a", false},           // cut before the next character
      {"\xC0\x80", false},               // overlong
      {"\xED\xA0\x80", false},           // a surrogate
      {"\xF4\x90\x80\x80", false},       // beyond U+10FFFF
      {"\x80", false},
      {"\xFF\xFE", false},
      {"\x8B\x4E\x93\xAE", false},       // code page 932
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
    EXPECT_EQ(ToUtf8(FromUtf8(c.bytes)) == c.bytes, c.valid) << c.bytes;
  }
}

}  // namespace
}  // namespace velnor
