// Runs the expand command over every check-box state, both start numbers and a spread of
// field values, and checks what must hold after any press of the button.
#include <gtest/gtest.h>

#include "expand/expand_command.h"
#include "model_program.h"
#include "ui/input_fields.h"

namespace velnor {
namespace {

using testing::ModelProgram;

bool IsFirstNumber(StringView s) {
  if (s.size() < 2) return false;
  for (char16_t c : s) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

bool IsSecondNumber(StringView s) {
  return s.size() == 2 && s[0] >= u'0' && s[0] <= u'9' &&
         ((s[1] >= u'0' && s[1] <= u'9') || (s[1] >= u'a' && s[1] <= u'f'));
}

// Whether the middle of an item (between U + S and E) is shaped as its row says: the first
// number, then "_", then the second number, each present only when its box is on; a number
// may be missing where its work list is shorter than the range.
bool MiddleFitsRow(StringView middle, bool first, bool underscore, bool second) {
  size_t pos = 0;
  if (first) {
    size_t digits = 0;
    while (pos + digits < middle.size() && middle[pos + digits] >= u'0' && middle[pos + digits] <= u'9') ++digits;
    // The first number is greedy; with a second number after it, leave it its two characters.
    if (second && !underscore && digits >= 2) return false;  // not a supported row
    if (digits != 0 && !IsFirstNumber(middle.substr(pos, digits))) return false;
    pos += digits;
  }
  if (underscore) {
    if (pos >= middle.size() || middle[pos] != u'_') return false;
    ++pos;
  }
  if (second) {
    const StringView rest = middle.substr(pos);
    return rest.empty() || IsSecondNumber(rest);
  }
  return pos == middle.size();
}

TEST(ExpandSweep, EveryPressLeavesAWellFormedListAndResetFields) {
  const String firstEnds[] = {u"", u"0", u"5", u"99", u"100", u"1.5", u"2.5", u"-3", u"abc", u"1e2", u"3e4", u"9e9"};
  const String secondEnds[] = {u"", u"3", u"05", u"1f", u"2c", u"9f", u"1F", u"a1", u"Ａ"};
  const String url = u"http://h/";
  const String sub = u"s/";
  const String ext = u".e";
  int runs = 0;
  for (int states = 0; states < 81; ++states) {
    const int check3 = states % 3, check1 = states / 3 % 3, checkund = states / 9 % 3, check2 = states / 27 % 3;
    for (int start = 0; start <= 1; ++start) {
      for (const auto& firstEnd : firstEnds) {
        // The big range only where it can matter, to keep the sweep quick.
        if (firstEnd == u"3e4" && (check1 != 1 || check3 != 1)) continue;
        for (const auto& secondEnd : secondEnds) {
          ModelProgram m;
          auto& w = m.window;
          (start ? w.Option1 : w.Option0).Select();
          w.urltxt.SetText(url);
          w.Combo2.SetText(sub);
          w.Combo1.SetText(ext);
          w.Check3.SetValue(check3);
          w.Check1.SetValue(check1);
          w.Checkund.SetValue(checkund);
          w.Check2.SetValue(check2);
          w.text1.SetText(firstEnd);
          w.Combo3.SetText(secondEnd);
          RunExpandCommand(m.program);
          ++runs;
          const std::string where = "states " + std::to_string(states) + " start " + std::to_string(start) +
                                    " Text(1) " + ToUtf8(firstEnd) + " Combo3 " + ToUtf8(secondEnd);

          ASSERT_EQ(w.text1.GetText(), u"") << where;
          ASSERT_EQ(w.text2.GetText(), u"") << where;
          ASSERT_EQ(w.Combo3.GetText(), u"") << where;
          ASSERT_EQ(w.urltxt.GetText(), kUrlPrompt) << where;
          ASSERT_TRUE(w.urllist.Visible() && w.list1.Visible() && w.list2.Visible()) << where;
          for (const auto& shown : m.platform.messages) {
            ASSERT_EQ(shown.caption, u"注意") << where;
            ASSERT_EQ(shown.style, 0) << where;
          }
          if (check1 == 1) {
            ASSERT_LE(w.urllist.Count(), w.list1.Count() + 1) << where;
          } else {
            ASSERT_LE(w.urllist.Count(), w.list2.Count()) << where;
          }
          const bool subfolderOn = check3 == 1;
          const String head = url + (subfolderOn ? sub : String());
          for (int i = 0; i < w.urllist.Count(); ++i) {
            const String item = w.urllist.Item(i);
            ASSERT_TRUE(item.starts_with(head) && item.ends_with(ext)) << where << " item " << ToUtf8(item);
            const StringView middle = StringView(item).substr(head.size(), item.size() - head.size() - ext.size());
            ASSERT_TRUE(MiddleFitsRow(middle, check1 == 1, checkund == 1, check2 == 1))
                << where << " item " << ToUtf8(item);
          }
        }
      }
    }
  }
  EXPECT_EQ(runs, 81 * 2 * 12 * 9 - 72 * 2 * 9);  // every combination ran
}

}  // namespace
}  // namespace velnor
