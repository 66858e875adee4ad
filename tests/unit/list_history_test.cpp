#include <gtest/gtest.h>

#include "model_program.h"
#include "settings/list_history.h"

namespace velnor {
namespace {

using testing::ModelProgram;

std::vector<String> Entries(int count) {
  std::vector<String> v;
// GCC 12 at -O2 and above reports a -Wrestrict overlap inside libstdc++'s inlined
// operator+(const char16_t*, std::u16string&&), a known false alarm of that compiler.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
  for (int i = 0; i < count; ++i) v.push_back(u"e" + String(1, char16_t(u'0' + i)) + u"/");
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
  return v;
}

struct HistoryCase {
  const char* name;
  std::vector<String> list;
  String text;
  std::vector<String> after;
};

TEST(UpdateHistoryLists, AddsNewTextsAndKeepsTenAtMost) {
  auto ten = Entries(10);
  auto shifted = std::vector<String>(ten.begin() + 1, ten.end());
  shifted.push_back(u"new/");
  auto tenWithEmpty = std::vector<String>(ten.begin() + 1, ten.end());
  tenWithEmpty.push_back(u"");
  const HistoryCase cases[] = {
      {"new text appended", {u"sam/", u"image/"}, u"photo/", {u"sam/", u"image/", u"photo/"}},
      {"known text not moved", {u"sam/", u"image/", u"x/"}, u"image/", {u"sam/", u"image/", u"x/"}},
      {"letter case matters", {u"sam/"}, u"Sam/", {u"sam/", u"Sam/"}},
      {"full list drops its oldest", ten, u"new/", shifted},
      {"empty text is present in a short list", {u"sam/"}, u"", {u"sam/"}},
      {"empty text is new in a full list", ten, u"", tenWithEmpty},
      {"empty list takes the text", {}, u"a/", {u"a/"}},
  };
  for (const auto& c : cases) {
    ModelProgram m;
    for (const auto& e : c.list) m.window.Combo2.AddItem(e);
    m.window.Combo2.SetText(c.text);
    UpdateHistoryLists(m.program);
    EXPECT_EQ(m.window.Combo2.Items(), c.after) << c.name;
    EXPECT_EQ(m.window.Combo2.GetText(), c.text) << c.name;
    for (int slot = 1; slot <= 10; ++slot) {
      const String expected = slot <= static_cast<int>(c.after.size()) ? c.after[slot - 1] : String();
      EXPECT_EQ(m.program.subfolderHistory[slot], expected) << c.name << " slot " << slot;
    }
    EXPECT_EQ(m.program.subfolderHistory[0], u"") << c.name;
  }
}

TEST(UpdateHistoryLists, TreatsBothFieldsAndOverwritesEverySlot) {
  ModelProgram m;
  m.program.extensionHistory[7] = u"stale";
  m.window.Combo1.AddItem(u".jpg");
  m.window.Combo1.SetText(u".png");
  m.window.Combo2.SetText(u"sam/");
  UpdateHistoryLists(m.program);
  EXPECT_EQ(m.window.Combo1.Items(), (std::vector<String>{u".jpg", u".png"}));
  EXPECT_EQ(m.program.extensionHistory[2], u".png");
  EXPECT_EQ(m.program.extensionHistory[7], u"");
  EXPECT_EQ(m.program.subfolderHistory[1], u"sam/");
}

}  // namespace
}  // namespace velnor
