#include <gtest/gtest.h>

#include "base/numbers.h"
#include "expand/number_lists.h"
#include "model_program.h"

namespace velnor {
namespace {

using testing::ModelProgram;

// "00".."0f" style runs: every text from `from` to `to` in list order.
std::vector<String> SecondNumbers(int count) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  std::vector<String> out;
  for (int i = 0; i < count; ++i) out.push_back(String{char16_t(u'0' + i / 16), kDigits[i % 16]});
  return out;
}

std::vector<String> FirstNumbers(int first, int last, int width) {
  std::vector<String> out;
  for (int n = first; n <= last; ++n) {
    String s = DecimalText(n);
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), u'0');
    out.push_back(s);
  }
  return out;
}

struct FirstCase {
  int start;
  const char16_t* text1;
  std::vector<String> expected;
};

TEST(BuildFirstNumberList, PadsToTwoDigitsOrThreeFromAHundredOn) {
  const FirstCase cases[] = {
      {0, u"12", FirstNumbers(0, 12, 2)},
      {1, u"5", FirstNumbers(1, 5, 2)},
      {1, u"120", FirstNumbers(1, 120, 3)},
      {0, u"0", {u"00"}},
      {1, u"0", {}},
      {0, u"99", FirstNumbers(0, 99, 2)},
      {0, u"100", FirstNumbers(0, 100, 3)},
      {1, u"-3", {}},
      {1, u"abc", {}},
      {0, u"abc", {u"00"}},
      {0, u"1.5", FirstNumbers(0, 2, 2)},
      {0, u"2.5", FirstNumbers(0, 2, 2)},
      {0, u"3.5", FirstNumbers(0, 4, 2)},
      {0, u"1e2", FirstNumbers(0, 100, 3)},
      {0, u"３", FirstNumbers(0, 3, 2)},
      {0, u"9.9", FirstNumbers(0, 10, 2)},
  };
  for (const auto& c : cases) {
    ModelProgram m;
    m.program.startNumber = c.start;
    m.window.Check1.SetValue(1);
    m.window.text1.SetText(c.text1);
    BuildFirstNumberList(m.program);
    EXPECT_EQ(m.window.list1.Items(), c.expected) << ToUtf8(c.text1) << " start " << c.start;
    EXPECT_TRUE(m.window.list1.Visible());
    EXPECT_TRUE(m.platform.messages.empty());
  }
}

TEST(BuildFirstNumberList, NarrowsFullWidthDigitsInText1) {
  ModelProgram m;
  m.window.Check1.SetValue(1);
  m.window.text1.SetText(u"１２");
  BuildFirstNumberList(m.program);
  EXPECT_EQ(m.window.text1.GetText(), u"12");
  EXPECT_EQ(m.window.list1.Items(), FirstNumbers(0, 12, 2));
}

TEST(BuildFirstNumberList, SkipsItsWorkAndKeepsOldEntries) {
  for (int check1 : {0, 1}) {
    ModelProgram m;
    m.window.list1.AddItem(u"old");
    m.window.Check1.SetValue(check1);
    m.window.text1.SetText(check1 ? u"" : u"5");
    BuildFirstNumberList(m.program);
    EXPECT_EQ(m.window.list1.Items(), std::vector<String>{u"old"});
  }
}

TEST(BuildFirstNumberList, RefusesEndsBeyondSixteenBits) {
  for (const char16_t* text : {u"9e9", u"4e4", u"1e5", u"９e9"}) {
    ModelProgram m;
    m.window.list1.AddItem(u"old");
    m.window.Check1.SetValue(1);
    m.window.text1.SetText(text);
    BuildFirstNumberList(m.program);
    EXPECT_EQ(m.window.list1.Items(), std::vector<String>{u"old"}) << ToUtf8(text);
    EXPECT_EQ(m.platform.MessageTexts(), std::vector<String>{u"終了値が範囲外です"}) << ToUtf8(text);
    EXPECT_TRUE(m.window.list1.Visible());
  }
  ModelProgram m;
  m.window.Check1.SetValue(1);
  m.window.text1.SetText(u"3e4");
  BuildFirstNumberList(m.program);
  EXPECT_EQ(m.window.list1.Count(), 30001);
  EXPECT_EQ(m.window.list1.Item(30000), u"30000");
  EXPECT_EQ(m.window.list1.Item(5), u"005");
}

struct SecondCase {
  const char16_t* text2;
  std::vector<String> expected;
};

TEST(BuildSecondNumberList, CountsInBaseSixteenUpToText2) {
  auto with = [](std::vector<String> v, std::initializer_list<String> more) {
    v.insert(v.end(), more);
    return v;
  };
  const SecondCase cases[] = {
      {u"3", SecondNumbers(4)},
      {u"5", SecondNumbers(6)},
      {u"05", SecondNumbers(6)},
      {u"0f", SecondNumbers(16)},
      {u"1f", SecondNumbers(32)},
      {u"2c", SecondNumbers(45)},
      {u"9f", SecondNumbers(160)},
      {u"12", with(SecondNumbers(16), {u"10", u"11", u"12"})},
      {u"1F", with(SecondNumbers(16), {u"10"})},  // a capital letter counts as 0
      {u"1 ", with(SecondNumbers(16), {u"10"})},
      {u"0", {u"00"}},
      // A surrogate pair in last place is one character, read as a whole: its value is 0.
      {u"1\U0001F600", with(SecondNumbers(16), {u"10"})},
      {u"1\U0001F6003", with(SecondNumbers(16), {u"10", u"11", u"12", u"13"})},
  };
  for (const auto& c : cases) {
    ModelProgram m;
    m.window.Check2.SetValue(1);
    m.window.text2.SetText(c.text2);
    BuildSecondNumberList(m.program);
    EXPECT_EQ(m.window.list2.Items(), c.expected) << ToUtf8(c.text2);
    EXPECT_TRUE(m.platform.messages.empty()) << ToUtf8(c.text2);
  }
}

TEST(BuildSecondNumberList, RejectsAFirstCharacterThatIsNoDecimalDigit) {
  for (const char16_t* text : {u"f", u"b", u"a1", u"F1", u"-1", u" 1", u"１", u"&H", u"z", u"\U0001F6001"}) {
    ModelProgram m;
    m.window.list2.AddItem(u"old");
    m.window.Check2.SetValue(1);
    m.window.text2.SetText(text);
    BuildSecondNumberList(m.program);
    EXPECT_EQ(m.window.list2.Items(), std::vector<String>{u"old"}) << ToUtf8(text);
    ASSERT_EQ(m.platform.messages.size(), 1u) << ToUtf8(text);
    EXPECT_EQ(m.platform.messages[0].text, kLetterDigitMessage);
    EXPECT_EQ(m.platform.messages[0].caption, u"注意");
  }
}

TEST(BuildSecondNumberList, SkipsItsWorkWithTheBoxOffOrTheFieldEmpty) {
  ModelProgram m;
  m.window.list2.AddItem(u"old");
  m.window.text2.SetText(u"3");
  BuildSecondNumberList(m.program);  // Check2 off
  m.window.Check2.SetValue(1);
  m.window.text2.SetText(u"");
  BuildSecondNumberList(m.program);
  EXPECT_EQ(m.window.list2.Items(), std::vector<String>{u"old"});
  EXPECT_TRUE(m.platform.messages.empty());
}

TEST(DeriveFirstEndNumber, TakesTheEndFromTheSecondList) {
  const struct {
    int start;
    int secondEntries;
    const char16_t* text1;
    size_t firstEntries;
    const char16_t* firstEntry;
  } cases[] = {
      {0, 32, u"31", 32, u"00"},
      {1, 32, u"32", 32, u"01"},
      {0, 0, u"-1", 0, u""},
      {1, 0, u"0", 0, u""},
      {0, 160, u"159", 160, u"000"},
  };
  for (const auto& c : cases) {
    ModelProgram m;
    m.program.startNumber = c.start;
    m.window.Check1.SetValue(1);
    for (int i = 0; i < c.secondEntries; ++i) m.window.list2.AddItem(u"xx");
    DeriveFirstEndNumber(m.program);
    EXPECT_EQ(m.window.text1.GetText(), c.text1);
    EXPECT_EQ(m.window.list1.Items().size(), c.firstEntries);
    EXPECT_EQ(m.window.list1.Item(0), c.firstEntry);
  }
}

TEST(DeriveFirstEndNumber, ActsOnlyWithTheFirstNumberOnAndNoEnd) {
  ModelProgram m;
  m.window.list2.AddItem(u"00");
  DeriveFirstEndNumber(m.program);  // Check1 off
  EXPECT_EQ(m.window.text1.GetText(), u"");
  m.window.Check1.SetValue(1);
  m.window.text1.SetText(u"7");
  DeriveFirstEndNumber(m.program);
  EXPECT_EQ(m.window.text1.GetText(), u"7");
  EXPECT_EQ(m.window.list1.Count(), 0);
}

}  // namespace
}  // namespace velnor
