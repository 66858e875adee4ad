#include <gtest/gtest.h>

#include "expand/input_checks.h"
#include "model_program.h"
#include "ui/input_fields.h"

namespace velnor {
namespace {

using testing::ModelProgram;
using testing::ShownMessage;

const String kUnderscoreAlone = u"アンダーバーのみでは\n展開できません ";

struct CheckCase {
  const char* name;
  String url;
  String text1;
  String text2;
  int check3, check1, checkund, check2;
  std::vector<String> messages;
};

TEST(CheckExpansionInput, WarnsInItsFixedOrder) {
  const String url = u"http://example.com/";
  const CheckCase cases[] = {
      {"prompt stops everything", kUrlPrompt, u"", u"", 0, 0, 0, 0, {u"URLを入力して下さい"}},
      {"empty url passes the url check", u"", u"5", u"", 0, 1, 0, 0, {}},
      {"prompt with one more character passes", kUrlPrompt + u"x", u"5", u"", 0, 1, 0, 0, {}},
      {"prompt with one less character passes", kUrlPrompt.substr(1), u"5", u"", 0, 1, 0, 0, {}},
      {"both numbers missing", url, u"", u"", 1, 1, 1, 1, {u"テキスト未入力です"}},
      {"second missing while ticked", url, u"5", u"", 1, 1, 1, 1, {u"入力項目で未入力があります"}},
      {"second missing, not ticked", url, u"5", u"", 1, 1, 0, 0, {}},
      {"first not ticked, nothing ticked", url, u"5", u"", 0, 0, 0, 0,
       {u"チェックが入っていません", u"未チェックです"}},
      {"first not ticked, subfolder ticked", url, u"5", u"", 1, 0, 0, 0, {u"チェックが入っていません"}},
      {"underscore alone, second filled", url, u"", u"3", 0, 0, 1, 0, {kUnderscoreAlone}},
      {"underscore alone, first filled", url, u"5", u"", 0, 0, 1, 0,
       {u"チェックが入っていません", kUnderscoreAlone}},
      {"both filled, nothing ticked", url, u"5", u"3", 0, 0, 0, 0,
       {u"チェックが入っていません", u"未チェックです"}},
      {"second filled, nothing ticked", url, u"", u"3", 0, 0, 0, 0, {u"未チェックです"}},
      {"first from the second list", url, u"", u"3", 0, 1, 0, 0, {}},
      {"second filled, not used", url, u"5", u"3", 0, 1, 0, 0, {}},
      {"greyed boxes are not clear", url, u"", u"3", 2, 0, 0, 0, {}},
  };
  for (const auto& c : cases) {
    ModelProgram m;
    auto& w = m.window;
    w.urltxt.SetText(c.url);
    w.text1.SetText(c.text1);
    w.text2.SetText(c.text2);
    w.Check3.SetValue(c.check3);
    w.Check1.SetValue(c.check1);
    w.Checkund.SetValue(c.checkund);
    w.Check2.SetValue(c.check2);
    CheckExpansionInput(m.program);
    EXPECT_EQ(m.platform.MessageTexts(), c.messages) << c.name;
    for (const auto& shown : m.platform.messages) {
      EXPECT_EQ(shown.caption, u"注意") << c.name;
      EXPECT_EQ(shown.style, 0) << c.name;
    }
    // It only warns: nothing it reads is changed.
    EXPECT_EQ(w.urltxt.GetText(), c.url) << c.name;
    EXPECT_EQ(w.text1.GetText(), c.text1) << c.name;
    EXPECT_EQ(w.text2.GetText(), c.text2) << c.name;
  }
}

}  // namespace
}  // namespace velnor
