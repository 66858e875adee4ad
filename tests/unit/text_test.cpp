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

}  // namespace
}  // namespace velnor
