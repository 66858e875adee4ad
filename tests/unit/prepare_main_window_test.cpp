#include <gtest/gtest.h>

#include "app/main_window_frame.h"
#include "app/prepare_main_window.h"
#include "app_program.h"
#include "model_program.h"
#include "ui/input_fields.h"

namespace velnor {
namespace {

using testing::ModelProgram;

using PreparedProgram = testing::AppModelProgram;

TEST(PrepareMainWindow, SetsTheCaptionAndTheOuterSize) {
  PreparedProgram p;
  PrepareMainWindow(p.program);
  EXPECT_EQ(p.frame.caption, u"Velnor");
  EXPECT_EQ(p.frame.widthTwips, 8625);
  EXPECT_EQ(p.frame.heightTwips, 4320);
}

TEST(PrepareMainWindow, EmptiesTheResultAndWorkListsAndEndsWithTheUrlPrompt) {
  PreparedProgram p;
  auto& w = p.window;
  w.urllist.AddItem(u"http://a/1.jpg");
  w.list1.AddItem(u"00");
  w.list2.AddItem(u"0f");
  w.text1.SetText(u"12");
  w.Combo3.SetText(u"3");  // reaches Text(2) through Combo3's change handling
  ASSERT_EQ(w.text2.GetText(), u"3");

  PrepareMainWindow(p.program);

  EXPECT_EQ(w.urllist.Count(), 0);
  EXPECT_EQ(w.list1.Count(), 0);
  EXPECT_EQ(w.list2.Count(), 0);
  EXPECT_EQ(w.text1.GetText(), u"");
  EXPECT_EQ(w.text2.GetText(), u"");
  EXPECT_EQ(w.urltxt.GetText(), kUrlPrompt);
  EXPECT_EQ(p.platform.messages.size(), 0u);
}

TEST(PrepareMainWindow, EmptyingTheNumberFieldsRunsTheirLimits) {
  // Combo3 out of its limits before start (its text set without the wiring): emptying
  // Text(1) runs LimitNumberFields, which cuts Combo3 back to two characters.
  PreparedProgram p;
  auto& combo = p.window.Combo3;
  auto handler = std::move(combo.Change);
  combo.Change = nullptr;
  combo.SetText(u"123");
  combo.Change = std::move(handler);

  int changes1 = 0;
  int changes2 = 0;
  auto limit1 = p.window.text1.Change;
  auto limit2 = p.window.text2.Change;
  p.window.text1.Change = [&] { ++changes1; limit1(); };
  p.window.text2.Change = [&] { ++changes2; limit2(); };

  PrepareMainWindow(p.program);

  EXPECT_GE(changes1, 1);
  EXPECT_GE(changes2, 1);
  EXPECT_EQ(combo.GetText(), u"12");
  EXPECT_EQ(p.window.text2.GetText(), u"");
}

TEST(PrepareMainWindow, LeavesStartNumberChecksAndOtherCombosAlone) {
  PreparedProgram p;
  p.profile.files[p.SettingsPath()] = {};  // a settings file that holds nothing: nothing applied
  auto& w = p.window;
  w.Option1.Select();
  w.Check1.SetValue(1);
  w.Checkund.SetValue(2);
  w.Combo2.SetText(u"sam/");
  w.Combo1.AddItem(u".jpg");

  PrepareMainWindow(p.program);

  EXPECT_EQ(p.program.startNumber, 1);
  EXPECT_TRUE(w.Option1.Value());
  EXPECT_EQ(w.Check1.Value(), 1);
  EXPECT_EQ(w.Checkund.Value(), 2);
  EXPECT_EQ(w.Combo2.GetText(), u"sam/");
  EXPECT_EQ(w.Combo1.Count(), 1);
  EXPECT_EQ(w.Combo3.GetText(), u"");
}

TEST(FillSecondNumberChoices, AppendsTheHundredAndSixtyValuesInOrder) {
  ModelProgram p;
  FillSecondNumberChoices(p.program);
  const auto& items = p.window.Combo3.Items();
  ASSERT_EQ(items.size(), 160u);

  struct Entry {
    int index;
    const char16_t* text;
  };
  const Entry entries[] = {{0, u"00"},   {9, u"09"},   {10, u"0a"},  {15, u"0f"},
                           {16, u"10"},  {44, u"2c"},  {143, u"8f"}, {144, u"90"},
                           {154, u"9a"}, {159, u"9f"}};
  for (const auto& e : entries) EXPECT_EQ(items[e.index], e.text) << e.index;

  // Every entry is a digit then a digit or a..f, and each value comes once, rising.
  for (size_t i = 1; i < items.size(); ++i) EXPECT_LT(items[i - 1], items[i]) << i;
}

TEST(FillSecondNumberChoices, AppendsToWhatTheListHolds) {
  ModelProgram p;
  p.window.Combo3.AddItem(u"zz");
  FillSecondNumberChoices(p.program);
  ASSERT_EQ(p.window.Combo3.Count(), 161);
  EXPECT_EQ(p.window.Combo3.Item(0), u"zz");
  EXPECT_EQ(p.window.Combo3.Item(1), u"00");
  EXPECT_EQ(p.window.Combo3.Item(160), u"9f");
  EXPECT_EQ(p.window.Combo3.GetText(), u"");  // the edit text is not touched
}

}  // namespace
}  // namespace velnor
