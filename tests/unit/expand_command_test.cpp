#include <gtest/gtest.h>

#include "expand/expand_command.h"
#include "model_program.h"
#include "ui/input_fields.h"

namespace velnor {
namespace {

using testing::ModelProgram;

struct ExpandCommand : ::testing::Test {
  ExpandCommand() {
    w.Option0.Select();
    w.urltxt.SetText(u"http://x/");
    w.Combo2.SetText(u"sam/");
    w.Combo1.SetText(u".jpg");
  }
  void ExpectFieldsReset() {
    EXPECT_EQ(w.text1.GetText(), u"");
    EXPECT_EQ(w.text2.GetText(), u"");
    EXPECT_EQ(w.Combo3.GetText(), u"");
    EXPECT_EQ(w.urltxt.GetText(), kUrlPrompt);
  }
  ModelProgram m;
  ModelForm& w = m.window;
};

TEST_F(ExpandCommand, FirstSampleExpandsBothNumbers) {
  w.List1.ClickItem(0);
  ModelProgram::Type(w.text1, u"12");
  ModelProgram::Type(w.Combo3, u"0f");
  RunExpandCommand(m.program);
  ASSERT_EQ(w.urllist.Count(), 13);
  EXPECT_EQ(w.urllist.Item(0), u"http://x/sam/00_00.jpg");
  EXPECT_EQ(w.urllist.Item(12), u"http://x/sam/12_0c.jpg");
  EXPECT_TRUE(m.platform.messages.empty());
  ExpectFieldsReset();
}

TEST_F(ExpandCommand, FirstNumberEndDerivedFromTheSecond) {
  w.Option1.Select();
  w.List1.ClickItem(0);
  ModelProgram::Type(w.Combo3, u"1f");
  RunExpandCommand(m.program);
  ASSERT_EQ(w.urllist.Count(), 32);
  EXPECT_EQ(w.urllist.Item(0), u"http://x/sam/01_00.jpg");
  EXPECT_EQ(w.urllist.Item(31), u"http://x/sam/32_1f.jpg");
  ExpectFieldsReset();
}

TEST_F(ExpandCommand, SecondSampleWithStartOne) {
  w.Option1.Select();
  w.List1.ClickItem(1);
  ModelProgram::Type(w.text1, u"5");
  RunExpandCommand(m.program);
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"http://x/01.jpg", u"http://x/02.jpg", u"http://x/03.jpg",
                                                    u"http://x/04.jpg", u"http://x/05.jpg"}));
}

TEST_F(ExpandCommand, WarningsNeverStopTheCommand) {
  w.urltxt.SetText(kUrlPrompt);
  w.List1.ClickItem(1);
  ModelProgram::Type(w.text1, u"2");
  RunExpandCommand(m.program);
  EXPECT_EQ(m.platform.MessageTexts(), std::vector<String>{u"URLを入力して下さい"});
  // The prompt became the URL part of every item.
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{kUrlPrompt + u"00.jpg", kUrlPrompt + u"01.jpg",
                                                    kUrlPrompt + u"02.jpg"}));
  ExpectFieldsReset();
}

TEST_F(ExpandCommand, NothingEnteredAtTheFirstExpansionGivesAnEmptyList) {
  w.List1.ClickItem(0);
  RunExpandCommand(m.program);
  EXPECT_EQ(m.platform.MessageTexts(), std::vector<String>{u"テキスト未入力です"});
  EXPECT_EQ(w.urllist.Count(), 0);
  EXPECT_EQ(w.urllist.HorizontalExtent(), 8);
  ExpectFieldsReset();
}

TEST_F(ExpandCommand, WorkListsOfAnEarlierExpansionAreReused) {
  w.Check2.SetValue(1);  // row 10: the second number alone
  ModelProgram::Type(w.Combo3, u"3");
  RunExpandCommand(m.program);
  EXPECT_EQ(w.urllist.Count(), 4);
  w.urltxt.SetText(u"http://y/");
  RunExpandCommand(m.program);  // Combo3 now empty: warns, then builds from the old List(2)
  EXPECT_EQ(m.platform.MessageTexts(), std::vector<String>{u"テキスト未入力です"});
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"http://y/00.jpg", u"http://y/01.jpg", u"http://y/02.jpg",
                                                    u"http://y/03.jpg"}));
}

TEST_F(ExpandCommand, ALetterInTheTensPlaceWarnsAndGoesOn) {
  w.List1.ClickItem(0);
  ModelProgram::Type(w.text1, u"1");
  ModelProgram::Type(w.Combo3, u"a1");
  RunExpandCommand(m.program);
  EXPECT_EQ(m.platform.MessageTexts(), std::vector<String>{
      u"1桁のみでの英文字入力、または2桁目の英文字入力はエラーになります"});
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"http://x/sam/00_.jpg", u"http://x/sam/01_.jpg"}));
  ExpectFieldsReset();
}

TEST_F(ExpandCommand, ClipboardNoticeWhileAWarningIsOpenChangesTheUrl) {
  w.urltxt.SetText(kUrlPrompt);
  w.List1.ClickItem(1);
  ModelProgram::Type(w.text1, u"1");
  m.platform.whileMessageOpen = [&](const testing::ShownMessage&) { w.urltxt.SetText(u"http://copied/"); };
  RunExpandCommand(m.program);
  EXPECT_EQ(w.urllist.Items(), (std::vector<String>{u"http://copied/00.jpg", u"http://copied/01.jpg"}));
  EXPECT_EQ(w.urltxt.GetText(), kUrlPrompt);
}

TEST_F(ExpandCommand, PendingMessagesRunOnceBeforeTheListsAreBuilt) {
  w.List1.ClickItem(1);
  ModelProgram::Type(w.text1, u"1");
  m.platform.queued.push_back([&] { w.urltxt.SetText(u"http://queued/"); });
  RunExpandCommand(m.program);
  EXPECT_EQ(m.platform.pendingPasses, 1);
  EXPECT_EQ(w.urllist.Item(0), u"http://queued/00.jpg");
}

TEST_F(ExpandCommand, HistoryTakesTheFieldsOfTheExpansion) {
  w.Combo2.SetText(u"photo/");
  w.List1.ClickItem(1);
  ModelProgram::Type(w.text1, u"1");
  RunExpandCommand(m.program);
  EXPECT_EQ(w.Combo2.Items(), std::vector<String>{u"photo/"});
  EXPECT_EQ(w.Combo1.Items(), std::vector<String>{u".jpg"});
  EXPECT_EQ(m.program.subfolderHistory[1], u"photo/");
  EXPECT_EQ(w.Combo2.GetText(), u"photo/");
}

TEST_F(ExpandCommand, ThirtyThousandEntriesFromAnExponent) {
  w.List1.ClickItem(1);
  w.text1.SetText(u"3e4");
  RunExpandCommand(m.program);
  ASSERT_EQ(w.urllist.Count(), 30001);
  EXPECT_EQ(w.urllist.Item(29999), u"http://x/29999.jpg");
  EXPECT_EQ(w.urllist.Item(30000), u"http://x/30000.jpg");
}

// urllist, recording whether it was shown at each change the command makes to it.
class ShownAtChanges : public ModelListBox {
 public:
  ShownAtChanges() : ModelListBox(true) {}
  void Clear() override {
    Note();
    ModelListBox::Clear();
  }
  void AddItem(const String& text) override {
    Note();
    ModelListBox::AddItem(text);
  }
  void SetHorizontalExtent(int pixels) override {
    Note();
    ModelListBox::SetHorizontalExtent(pixels);
  }
  int changes = 0, changesWhileShown = 0;

 private:
  void Note() {
    ++changes;
    if (Visible()) ++changesWhileShown;
  }
};

TEST_F(ExpandCommand, ResultListIsShownOnlyOnceFinished) {
  ShownAtChanges urllist;
  m.program.form.urllist = &urllist;
  w.List1.ClickItem(1);
  for (const char16_t* end : {u"20", u"5"}) {  // a shown list first emptied, then filled
    w.text1.SetText(end);
    urllist.changes = urllist.changesWhileShown = 0;
    RunExpandCommand(m.program);
    EXPECT_GT(urllist.changes, 2);
    EXPECT_EQ(urllist.changesWhileShown, 0);
    EXPECT_TRUE(urllist.Visible());
  }
}

TEST(SetResultListExtent, WidestItemInAnsiBytesDecides) {
  const struct {
    std::vector<String> items;
    double twipsPerPixel;
    int pixels;
  } cases[] = {
      {{}, 15, 8},
      {{String(30, u'a'), String(40, u'b')}, 15, 248},
      {{String(40, u'b'), String(30, u'a')}, 15, 248},
      {{String(40, u'b')}, 10, 372},
      {{String(10, u'ア') + String(20, u'x')}, 15, 248},  // 40 bytes
      {{u"ｱｲｳ"}, 15, 26},                                  // half-width katakana: 3 bytes
      {{String(1, u'x')}, 12, 17},                         // 210 / 12 = 17.5, remainder dropped
      {{String(25, u'a'), String(15, u'あ')}, 15, 188},   // fewer characters, more bytes: 30
  };
  for (const auto& c : cases) {
    ModelProgram m;
    for (const auto& item : c.items) m.window.urllist.AddItem(item);
    m.platform.twipsPerPixel = c.twipsPerPixel;
    SetResultListExtent(m.program);
    EXPECT_EQ(m.window.urllist.HorizontalExtent(), c.pixels);
  }
}

}  // namespace
}  // namespace velnor
