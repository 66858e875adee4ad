// The expand command end to end on the real window: a click on renban with the fields filled
// in as a user fills them, the message boxes it shows, the result list and its extent.
#include "driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

const String kPrompt = u"URLをここに貼付けるか、入力して下さい。";
const String kCaution = u"注意";

struct Input {
  const char16_t* url;  // nullptr: leave the URL prompt
  const char16_t* subfolder;
  const char16_t* extension;
  int check3, check1, checkund, check2;
  int start;  // 0 or 1: the option button clicked
  const char16_t* text1;   // typed into Text(1)
  const char16_t* combo3;  // typed into Combo3
};

// Fills the window in as the user would and presses renban; returns the message boxes.
std::vector<ShownBox> Expand(Velnor& app, const Input& in) {
  app.Click(in.start ? ids::kOption1 : ids::kOption0);  // empties Text(1): first
  app.SetCheck(ids::kCheck3, in.check3);
  app.SetCheck(ids::kCheck1, in.check1);
  app.SetCheck(ids::kCheckund, in.checkund);
  app.SetCheck(ids::kCheck2, in.check2);
  SendMessageW(app.ComboEdit(ids::kCombo2), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(in.subfolder)));
  SendMessageW(app.ComboEdit(ids::kCombo1), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(in.extension)));
  if (in.url) app.SetText(ids::kUrltxt, in.url);
  app.SetText(ids::kText1, u"");
  app.Type(ids::kText1, in.text1);
  HWND combo3 = app.ComboEdit(ids::kCombo3);
  app.Erase(combo3);
  app.Type(combo3, in.combo3);
  return app.Press(ids::kRenban);
}

// What every press of renban leaves in the entry fields.
void CheckFieldsReset(Context& ctx, const Velnor& app) {
  E2E_CHECK_EQ(app.Text(ids::kText1), String());
  E2E_CHECK_EQ(app.Text(ids::kText2), String());
  E2E_CHECK_EQ(app.Text(ids::kCombo3), String());
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), kPrompt);
}

std::vector<String> Numbered(const String& before, int first, int last, int width, const String& after) {
  std::vector<String> items;
  for (int n = first; n <= last; ++n) {
    String digits = FromUtf8(std::to_string(n));
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), u'0');
    items.push_back(before + digits + after);
  }
  return items;
}

struct ExpandRow {
  const char* name;
  Input input;
  std::vector<String> items;
};

void RunRows(Context& ctx, const std::vector<ExpandRow>& rows) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  for (const ExpandRow& row : rows) {
    ctx.SetScope(row.name);
    const std::vector<ShownBox> boxes = Expand(app, row.input);
    E2E_CHECK_EQ(boxes.size(), 0u);
    E2E_CHECK_EQ(app.ListItems(ids::kUrllist), row.items);
    CheckFieldsReset(ctx, app);
  }
}

const char16_t kUrl[] = u"http://example.com/img/";

}  // namespace

// All four parts: subfolder, first number, underscore, second number.
E2E_CASE(expand_row1) {
  const String u = kUrl;
  RunRows(ctx, {
      {"start 0", {kUrl, u"sam/", u".jpg", 1, 1, 1, 1, 0, u"2", u"3"},
       {u + u"sam/00_00.jpg", u + u"sam/01_01.jpg", u + u"sam/02_02.jpg"}},
      // The first list runs 01, 02; the last pass lacks its first number and is removed.
      {"start 1", {kUrl, u"sam/", u".jpg", 1, 1, 1, 1, 1, u"2", u"3"},
       {u + u"sam/01_00.jpg", u + u"sam/02_01.jpg"}},
      // No end for the first number: it is taken from the second list (1f: 32 entries).
      {"start 0, first end derived", {kUrl, u"sam/", u".png", 1, 1, 1, 1, 0, u"", u"1f"},
       [&] {
         std::vector<String> items;
         const char16_t units[] = u"0123456789abcdef";
         for (int i = 0; i < 32; ++i) {
           String first = FromUtf8(std::to_string(i));
           if (i < 10) first = u"0" + first;
           items.push_back(u + u"sam/" + first + u"_" + String{char16_t(u'0' + i / 16), units[i % 16]} + u".png");
         }
         return items;
       }()},
  });
}

// Subfolder and first number.
E2E_CASE(expand_row2) {
  RunRows(ctx, {
      {"start 0", {kUrl, u"sam/", u".jpg", 1, 1, 0, 0, 0, u"3", u""}, Numbered(String(kUrl) + u"sam/", 0, 3, 2, u".jpg")},
      {"start 1", {kUrl, u"sam/", u".jpg", 1, 1, 0, 0, 1, u"3", u""}, Numbered(String(kUrl) + u"sam/", 1, 3, 2, u".jpg")},
  });
}

// The first number alone, as the second pattern sample sets it.
E2E_CASE(expand_row7) {
  RunRows(ctx, {
      {"start 0, 12", {kUrl, u"", u".jpg", 0, 1, 0, 0, 0, u"12", u""}, Numbered(kUrl, 0, 12, 2, u".jpg")},
      {"start 1, 120", {kUrl, u"sub/", u".gif", 0, 1, 0, 0, 1, u"120", u""}, Numbered(kUrl, 1, 120, 3, u".gif")},
      {"start 0, full-width 1", {kUrl, u"", u".jpg", 0, 1, 0, 0, 0, u"１", u""}, Numbered(kUrl, 0, 1, 2, u".jpg")},
  });
}

// The second number alone.
E2E_CASE(expand_row10) {
  std::vector<String> upTo2c;
  const char16_t units[] = u"0123456789abcdef";
  for (int i = 0; i < 45; ++i) upTo2c.push_back(String(kUrl) + String{char16_t(u'0' + i / 16), units[i % 16]} + u".jpg");
  RunRows(ctx, {
      {"start 0", {kUrl, u"", u".jpg", 0, 0, 0, 1, 0, u"", u"2c"}, upTo2c},
      {"start 1", {kUrl, u"", u".jpg", 0, 0, 0, 1, 1, u"", u"2c"}, upTo2c},
      {"5", {kUrl, u"", u".jpg", 0, 0, 0, 1, 0, u"", u"5"}, Numbered(kUrl, 0, 5, 2, u".jpg")},
  });
}

// The warnings, read from the real message boxes in the order they came.
E2E_CASE(expand_messages) {
  struct Row {
    const char* name;
    Input input;
    std::vector<String> texts;
  };
  const String underscoreOnly = u"アンダーバーのみでは\n展開できません ";
  const std::vector<Row> rows = {
      {"URL missing", {nullptr, u"", u".jpg", 0, 1, 0, 0, 0, u"", u""}, {u"URLを入力して下さい"}},
      {"both numbers missing", {kUrl, u"", u".jpg", 0, 1, 0, 0, 0, u"", u""}, {u"テキスト未入力です"}},
      {"second number missing", {kUrl, u"", u".jpg", 0, 1, 0, 1, 0, u"3", u""}, {u"入力項目で未入力があります"}},
      {"first number not ticked, nothing ticked",
       {kUrl, u"", u".jpg", 0, 0, 0, 0, 0, u"3", u""},
       {u"チェックが入っていません", u"未チェックです"}},
      {"first number not ticked, subfolder ticked", {kUrl, u"", u".jpg", 1, 0, 0, 0, 0, u"3", u""}, {u"チェックが入っていません"}},
      {"underscore alone", {kUrl, u"", u".jpg", 0, 0, 1, 0, 0, u"", u"5"}, {underscoreOnly}},
      {"underscore alone with a first number",
       {kUrl, u"", u".jpg", 0, 0, 1, 0, 0, u"3", u""},
       {u"チェックが入っていません", underscoreOnly}},
      {"letter first in the second number",
       {kUrl, u"", u".jpg", 0, 1, 0, 1, 0, u"2", u"a1"},
       {u"1桁のみでの英文字入力、または2桁目の英文字入力はエラーになります"}},
  };
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  for (const Row& row : rows) {
    ctx.SetScope(row.name);
    std::vector<ShownBox> expected;
    for (const String& text : row.texts) expected.push_back({kCaution, text, false});
    E2E_CHECK_EQ(Expand(app, row.input), expected);
    CheckFieldsReset(ctx, app);
  }

  // renban pressed while the focus is in an empty URL box: the box loses the focus first and
  // shows the prompt again, so the check reports the missing URL.
  ctx.SetScope("focus in the empty URL box");
  app.SetText(ids::kText1, u"");
  app.Type(ids::kText1, u"3");
  app.ClickAt(app.Control(ids::kUrltxt), 5, 5);
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), String());
  E2E_CHECK_EQ(app.Press(ids::kRenban), (std::vector<ShownBox>{{kCaution, u"URLを入力して下さい", false}}));
}

// The result list scrolls sideways as far as its widest item, counted in Shift_JIS bytes.
E2E_CASE(expand_extent) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  const int dpi = ScreenDpi();
  const int pixel = (1440 + dpi / 2) / dpi;  // rounded, as the program rounds it
  struct Row {
    const char* name;
    Input input;
    int widestBytes;  // -1: empty list
  };
  const Row rows[] = {
      {"ASCII", {kUrl, u"", u".jpg", 0, 1, 0, 0, 0, u"5", u""}, 23 + 2 + 4},
      // 例え and 画像 take two bytes a character: 26 bytes in 22 characters.
      {"Japanese", {u"http://例え.jp/画像/", u"", u".jpg", 0, 1, 0, 0, 0, u"5", u""}, 26},
      // The second list is two entries shorter: the last items lack the second number.
      {"widest decides", {kUrl, u"s/", u".jpg", 1, 1, 1, 1, 0, u"3", u"1"}, 23 + 2 + 2 + 1 + 2 + 4},
      // Both numbers without the underscore: no combination builds items.
      {"empty list", {kUrl, u"", u".jpg", 0, 1, 0, 1, 0, u"5", u"3"}, -1},
  };
  for (const Row& r : rows) {
    ctx.SetScope(r.name);
    Expand(app, r.input);
    const int bytes = r.widestBytes < 0 ? 0 : r.widestBytes;
    if (r.widestBytes < 0) E2E_CHECK_EQ(app.ListItems(ids::kUrllist).size(), 0u);
    E2E_CHECK_EQ(app.HorizontalExtent(ids::kUrllist), (bytes * 90 + 120) / pixel);
  }
  // An item wider than the box: the horizontal scroll bar shows.
  ctx.SetScope("wide item");
  const String longUrl = String(kUrl) + String(120, u'x') + u"/";
  Expand(app, {longUrl.c_str(), u"", u".jpg", 0, 1, 0, 0, 0, u"2", u""});
  E2E_CHECK_EQ(app.HorizontalExtent(ids::kUrllist), ((23 + 121 + 2 + 4) * 90 + 120) / pixel);
  E2E_CHECK((GetWindowLongPtrW(app.Control(ids::kUrllist), GWL_STYLE) & WS_HSCROLL) != 0);
}

}  // namespace velnor::e2e
