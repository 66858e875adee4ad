#include <gtest/gtest.h>

#include "model_program.h"
#include "ui/input_fields.h"

namespace velnor {
namespace {

using testing::ModelProgram;

class InputFields : public ::testing::Test {
 protected:
  ModelProgram m;
  ModelForm& w = m.window;
};

TEST_F(InputFields, Combo3TypingSettlesBothFieldsOnTheSameShortText) {
  const struct {
    const char16_t* typed;
    const char16_t* settled;
  } cases[] = {
      {u"1g", u""},     // a last letter beyond f throws the whole value away
      {u"123", u"12"},  // the third character is cut off
      {u"1F", u"1F"},   // capital letters pass
      {u"1f", u"1f"},
      {u"z", u""},
      {u"g1", u"1"},    // g is dropped as typed, then 1 stands alone
      {u"ab", u"ab"},   // letters a..f pass here; the list builder rejects them later
      // A character beyond the basic plane counts one and is never cut in half.
      {u"1\U0001F600", u"1\U0001F600"},
      {u"12\U0001F600", u"12"},
      {u"\U00020BB7\U0001F600\U0001F600", u"\U00020BB7\U0001F600"},
      {u"\U00020BB7g", u""},
  };
  for (const auto& c : cases) {
    w.Combo3.SetText(u"");
    ModelProgram::Type(w.Combo3, c.typed);
    EXPECT_EQ(w.Combo3.GetText(), c.settled) << ToUtf8(c.typed);
    EXPECT_EQ(w.text2.GetText(), c.settled) << ToUtf8(c.typed);
  }
}

TEST_F(InputFields, ProgramWritesAreLimitedLikeTyping) {
  w.Combo3.SetText(u"9fx");
  EXPECT_EQ(w.Combo3.GetText(), u"");  // last character x: thrown away before the cut
  EXPECT_EQ(w.text2.GetText(), u"");
  w.Combo3.SetText(u"１２３");             // full-width: counted as characters
  EXPECT_EQ(w.Combo3.GetText(), u"１２");
  EXPECT_EQ(w.text2.GetText(), u"１２");
  w.Combo3.SetText(u"1\U0001F600\U0001F600");  // pasted: the cut keeps the first pair whole
  EXPECT_EQ(w.Combo3.GetText(), u"1\U0001F600");
  EXPECT_EQ(w.text2.GetText(), u"1\U0001F600");
}

TEST_F(InputFields, ChoosingFromCombo3ListCopiesIntoText2) {
  w.Combo3.AddItem(u"2b");
  w.Combo3.AddItem(u"2c");
  w.Combo3.Choose(1);
  EXPECT_EQ(w.text2.GetText(), u"2c");
}

TEST_F(InputFields, Text1KeepsThreeCharactersAndIgnoresLetters) {
  const struct {
    const char16_t* typed;
    const char16_t* kept;
  } cases[] = {
      {u"1234", u"123"},
      {u"g", u"g"},
      {u"１２３４", u"１２３"},
      {u"12\U0001F600", u"12\U0001F600"},  // a surrogate pair counts one character
      {u"123\U0001F600", u"123"},
      {u"\U0001F600\U0001F600\U0001F600\U0001F600", u"\U0001F600\U0001F600\U0001F600"},
  };
  for (const auto& c : cases) {
    w.text1.SetText(u"");
    ModelProgram::Type(w.text1, c.typed);
    EXPECT_EQ(w.text1.GetText(), c.kept) << ToUtf8(c.typed);
  }
  w.text1.SetText(u"12\U0001F600\U0001F600");  // pasted: the cut does not split the pair
  EXPECT_EQ(w.text1.GetText(), u"12\U0001F600");
}

TEST_F(InputFields, Text2WrittenDirectlyIsNotLimitedByItself) {
  w.text2.SetText(u"12345");
  EXPECT_EQ(w.text2.GetText(), u"12345");
  w.text2.SetText(u"1z");
  EXPECT_EQ(w.text2.GetText(), u"1z");
}

TEST_F(InputFields, OptionButtonsSetStartNumberAndEmptyText1) {
  w.text1.SetText(u"50");
  w.Option1.Select();
  EXPECT_EQ(m.program.startNumber, 1);
  EXPECT_EQ(w.text1.GetText(), u"");
  EXPECT_FALSE(w.Option0.Value());
  w.text1.SetText(u"7");
  w.Option0.Select();
  EXPECT_EQ(m.program.startNumber, 0);
  EXPECT_EQ(w.text1.GetText(), u"");
  EXPECT_FALSE(w.Option1.Value());
}

TEST_F(InputFields, UrlPromptComesAndGoesWithTheFocus) {
  w.urltxt.SetText(kUrlPrompt);
  Raise(w.urltxt.GotFocus);
  EXPECT_EQ(w.urltxt.GetText(), u"");
  Raise(w.urltxt.LostFocus);
  EXPECT_EQ(w.urltxt.GetText(), kUrlPrompt);
  // Any other text stays, even a single blank or the prompt with one character more.
  for (const String& kept : {String(u" "), kUrlPrompt + u"x", String(u"http://a/")}) {
    w.urltxt.SetText(kept);
    Raise(w.urltxt.GotFocus);
    Raise(w.urltxt.LostFocus);
    EXPECT_EQ(w.urltxt.GetText(), kept);
  }
}

TEST_F(InputFields, PatternSamplesTickTheirParts) {
  w.Check3.SetValue(2);
  w.List1.ClickItem(0);
  EXPECT_EQ((std::vector<int>{w.Check3.Value(), w.Check1.Value(), w.Checkund.Value(), w.Check2.Value()}),
            (std::vector<int>{1, 1, 1, 1}));
  w.List1.ClickItem(1);
  EXPECT_EQ((std::vector<int>{w.Check3.Value(), w.Check1.Value(), w.Checkund.Value(), w.Check2.Value()}),
            (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(w.List1.Count(), 2);  // the sample itself is copied nowhere
}

}  // namespace
}  // namespace velnor
