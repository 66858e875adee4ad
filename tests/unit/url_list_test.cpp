#include <gtest/gtest.h>

#include "expand/url_list.h"
#include "model_program.h"

namespace velnor {
namespace {

using testing::ModelProgram;

// U, S and E of every item below; N1 and N2 come from the work lists.
struct UrlListFixture : ::testing::Test {
  UrlListFixture() {
    w.urltxt.SetText(u"U");
    w.Combo2.SetText(u"S");
    w.Combo1.SetText(u"E");
  }
  void Checks(int check3, int check1, int checkund, int check2) {
    w.Check3.SetValue(check3);
    w.Check1.SetValue(check1);
    w.Checkund.SetValue(checkund);
    w.Check2.SetValue(check2);
  }
  void Fill(ModelListBox& list, std::initializer_list<const char16_t*> texts) {
    for (auto t : texts) list.AddItem(t);
  }
  ModelProgram m;
  ModelForm& w = m.window;
};

TEST_F(UrlListFixture, EachSupportedRowGluesItsParts) {
  const struct {
    int check3, check1, checkund, check2;
    const char16_t* first;
  } rows[] = {
      {1, 1, 1, 1, u"US00_aE"}, {1, 1, 0, 0, u"US00E"}, {1, 1, 1, 0, u"US00_E"}, {1, 0, 1, 1, u"US_aE"},
      {1, 0, 0, 1, u"USaE"},    {0, 1, 1, 1, u"U00_aE"}, {0, 1, 0, 0, u"U00E"},  {0, 1, 1, 0, u"U00_E"},
      {0, 0, 1, 1, u"U_aE"},    {0, 0, 0, 1, u"UaE"},
  };
  for (const auto& r : rows) {
    ModelProgram fresh;
    auto& f = fresh.window;
    f.urltxt.SetText(u"U");
    f.Combo2.SetText(u"S");
    f.Combo1.SetText(u"E");
    f.list1.AddItem(u"00");
    f.list1.AddItem(u"01");
    f.list2.AddItem(u"a");
    f.list2.AddItem(u"b");
    f.text1.SetText(u"1");
    f.Check3.SetValue(r.check3);
    f.Check1.SetValue(r.check1);
    f.Checkund.SetValue(r.checkund);
    f.Check2.SetValue(r.check2);
    f.Option0.Select();
    f.text1.SetText(u"1");
    GenerateUrlList(fresh.program);
    ASSERT_EQ(f.urllist.Count(), 2) << ToUtf8(r.first);
    EXPECT_EQ(f.urllist.Item(0), r.first);
  }
}

TEST_F(UrlListFixture, UnsupportedCombinationsBuildNothing) {
  const int combos[][4] = {{1, 1, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 0}, {0, 0, 0, 0}, {1, 0, 1, 0},
                           {1, 0, 0, 0}, {2, 1, 1, 1}, {1, 1, 1, 2}};
  Fill(w.list1, {u"00"});
  Fill(w.list2, {u"00"});  // end index 0 whichever list gives it
  for (const auto& c : combos) {
    w.text1.SetText(u"0");
    Checks(c[0], c[1], c[2], c[3]);
    w.urllist.AddItem(u"stale");
    GenerateUrlList(m.program);
    EXPECT_EQ(w.urllist.Count(), 0);
    EXPECT_EQ(w.text1.GetText(), u"0");
    EXPECT_TRUE(w.urllist.Visible());
  }
}

TEST_F(UrlListFixture, StartNumberOneDropsTheItemWithoutAFirstNumber) {
  Checks(0, 1, 0, 0);
  Fill(w.list1, {u"01", u"02"});
  w.Option1.Select();
  w.text1.SetText(u"2");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"U01E", u"U02E"}));
}

TEST_F(UrlListFixture, StartNumberZeroKeepsEveryItem) {
  Checks(0, 1, 0, 0);
  Fill(w.list1, {u"00", u"01", u"02"});
  w.Option0.Select();
  w.text1.SetText(u"2");
  w.urllist.AddItem(u"from an earlier expansion");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"U00E", u"U01E", u"U02E"}));
}

TEST_F(UrlListFixture, FractionalAndNegativeEndsWithStartOne) {
  const struct {
    const char16_t* text1;
    std::vector<String> items;
  } cases[] = {
      {u"3.5", {u"U01E", u"U02E", u"U03E", u""}},  // position 4 names no item: nothing removed
      {u"2.5", {u"U01E", u"U02E"}},                // ends at 2, position 2 removed
      {u"-3", {}},
      {u"-.5", {}},
  };
  for (const auto& c : cases) {
    ModelProgram fresh;
    auto& f = fresh.window;
    f.urltxt.SetText(u"U");
    f.Combo1.SetText(u"E");
    f.Check1.SetValue(1);
    for (auto t : {u"01", u"02", u"03"}) f.list1.AddItem(t);
    f.Option1.Select();
    f.text1.SetText(c.text1);
    GenerateUrlList(fresh.program);
    std::vector<String> expected = c.items;
    if (!expected.empty() && expected.back().empty()) expected.back() = u"UE";
    EXPECT_EQ(f.urllist.Items(), expected) << ToUtf8(c.text1);
  }
}

TEST_F(UrlListFixture, StartOneWithTheFirstNumberOffRemovesNothing) {
  Checks(0, 0, 0, 1);
  Fill(w.list2, {u"00", u"01", u"02"});
  w.Option1.Select();
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"U00E", u"U01E", u"U02E"}));
}

TEST_F(UrlListFixture, EndMinusOneEmptiesText1) {
  Checks(0, 0, 0, 1);  // end from an empty List(2)
  w.text1.SetText(u"5");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Count(), 0);
  EXPECT_EQ(w.text1.GetText(), u"");

  Checks(0, 1, 0, 0);
  w.text1.SetText(u"-1");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.text1.GetText(), u"");
}

TEST_F(UrlListFixture, ShortSecondListLeavesTheSecondNumberEmpty) {
  Checks(1, 1, 1, 1);
  Fill(w.list1, {u"00", u"01", u"02"});
  Fill(w.list2, {u"00", u"01", u"02", u"03", u"04"});
  w.list2.RemoveItem(4);
  w.list2.RemoveItem(3);
  w.list2.RemoveItem(2);
  w.text1.SetText(u"2");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"US00_00E", u"US01_01E", u"US02_E"}));
}

TEST_F(UrlListFixture, PartsAreUsedExactlyAsTheyStand) {
  Checks(1, 1, 0, 0);
  w.urltxt.SetText(u" http://a\r\nb ");
  w.Combo2.SetText(u"");
  w.Combo1.SetText(u"jpg");
  Fill(w.list1, {u"00"});
  w.text1.SetText(u"0");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u" http://a\r\nb 00jpg"}));
}

TEST_F(UrlListFixture, EndsBeyondSixteenBitsBuildNothing) {
  Checks(0, 1, 0, 0);
  Fill(w.list1, {u"00"});
  w.text1.SetText(u"9e9");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Count(), 0);
  EXPECT_EQ(w.text1.GetText(), u"9e9");
  w.text1.SetText(u"3e4");
  GenerateUrlList(m.program);
  EXPECT_EQ(w.urllist.Count(), 30001);
  EXPECT_EQ(w.urllist.Item(30000), u"UE");
}

}  // namespace
}  // namespace velnor
