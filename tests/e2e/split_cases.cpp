// Splitting a URL on the real window: the Edit menu's command fills the fields so that
// 「連番 展開」 right after gives the series, or says once why it cannot; the automatic split
// of copied URLs, switched from the menu and kept in Velnor.ini across a restart.
#include <ostream>

#include "driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

const String kCaution = u"注意";
const String kHost = u"http://example.com/";

// The fields the split writes, read from the window.
struct SplitFields {
  String urltxt, combo2, text1, combo3, text2, combo1;
  int check3, check1, checkund, check2;
  bool operator==(const SplitFields&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SplitFields& f) {
  return out << ToUtf8(f.urltxt) << " | " << ToUtf8(f.combo2) << " | " << ToUtf8(f.text1) << " | " << ToUtf8(f.combo3)
             << " | " << ToUtf8(f.text2) << " | " << ToUtf8(f.combo1) << " | " << f.check3 << f.check1 << f.checkund
             << f.check2;
}

SplitFields FieldsOf(const Velnor& app) {
  return {app.Text(ids::kUrltxt),       app.Text(ids::kCombo2),       app.Text(ids::kText1),
          app.Text(ids::kCombo3),       app.Text(ids::kText2),        app.Text(ids::kCombo1),
          app.CheckValue(ids::kCheck3), app.CheckValue(ids::kCheck1), app.CheckValue(ids::kCheckund),
          app.CheckValue(ids::kCheck2)};
}

std::wstring AutoSplitInFile(const Velnor& app) {
  wchar_t value[16] = {};
  GetPrivateProfileStringW(L"オプション", L"AUTOSPLIT", L"(none)", value, 16, (app.folder() + L"\\Velnor.ini").c_str());
  return value;
}

// A copy by another program that the window takes; true once urltxt shows the expected text.
bool CopyAndWait(Velnor& app, const String& copied, const String& urltxt) {
  return WriteClipboardText(copied) && WaitUntil([&] { return app.Text(ids::kUrltxt) == urltxt; }, 5000);
}

}  // namespace

// The menu command, then 「連番 展開」: the series holds the URL; a URL that cannot be split
// changes nothing and gives one box.
E2E_CASE(split_menu) {
  struct Row {
    const char* name;
    int start;
    String url;
    std::vector<ShownBox> boxes;
    SplitFields fields;  // after the split; for a refusal the fields as they were
    int items;           // after the expansion
    String last;
  };
  const String refused = u"このURLは分解できません\n";
  const std::vector<Row> rows = {
      {"two numbers, with the clipboard's line break", 0, kHost + u"sam/12_0c.jpg\r\n", {},
       {kHost, u"sam/", u"12", u"0c", u"0c", u".jpg", 1, 1, 1, 1}, 13, kHost + u"sam/12_0c.jpg"},
      {"one number below 100 in three digits, with a query", 0, kHost + u"a/p012.jpg?size=l", {},
       {kHost + u"a/p", u"sam/", u"100", u"", u"", u".jpg?size=l", 0, 1, 0, 0}, 101, kHost + u"a/p100.jpg?size=l"},
      {"start 1 and number 00: start 0 chosen", 1, kHost + u"p/img00.png", {},
       {kHost + u"p/img", u"sam/", u"00", u"", u"", u".png", 0, 1, 0, 0}, 1, kHost + u"p/img00.png"},
      {"four digits", 0, kHost + u"a/1234.jpg", {{kCaution, refused + u"2桁か3桁の番号だけを分解できます", false}},
       {kHost + u"a/1234.jpg", u"sam/", u"", u"", u"", u".jpg", 1, 1, 1, 1}, 0, u""},
      {"numbers not in step", 0, kHost + u"s/05_0c.jpg", {{kCaution, refused + u"2つの番号が連動していません", false}},
       {kHost + u"s/05_0c.jpg", u"sam/", u"", u"", u"", u".jpg", 1, 1, 1, 1}, 0, u""},
      {"the prompt", 0, u"URLをここに貼付けるか、入力して下さい。", {{kCaution, u"URLを入力して下さい", false}},
       {u"URLをここに貼付けるか、入力して下さい。", u"sam/", u"", u"", u"", u".jpg", 1, 1, 1, 1}, 0, u""},
  };
  for (const Row& row : rows) {
    ctx.SetScope(row.name);
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    if (row.start == 1) app.Click(ids::kOption1);
    app.SetText(ids::kUrltxt, row.url);
    E2E_CHECK_EQ(app.Command(ids::kEditSplitUrl), row.boxes);
    E2E_CHECK_EQ(FieldsOf(app), row.fields);
    if (row.items == 0) continue;
    E2E_CHECK_EQ(app.CheckValue(ids::kOption0), 1);
    E2E_CHECK_EQ(app.Press(ids::kRenban), std::vector<ShownBox>{});
    const std::vector<String> items = app.ListItems(ids::kUrllist);
    E2E_CHECK_EQ(static_cast<int>(items.size()), row.items);
    if (!items.empty()) E2E_CHECK_EQ(items.back(), row.last);
  }
}

// The check item turns the automatic split on and off; a copied URL is split at once, one
// that cannot be split stays whole without a box; the choice survives a restart.
E2E_CASE(split_auto) {
  {
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    E2E_CHECK(CopyAndWait(app, kHost + u"photos/img07.png", kHost + u"photos/img07.png"));
    E2E_CHECK_EQ(app.Command(ids::kEditAutoSplit), std::vector<ShownBox>{});
    E2E_CHECK(CopyAndWait(app, kHost + u"photos/img08.png", kHost + u"photos/img"));
    E2E_CHECK_EQ(FieldsOf(app), (SplitFields{kHost + u"photos/img", u"sam/", u"08", u"", u"", u".png", 0, 1, 0, 0}));
    E2E_CHECK(CopyAndWait(app, kHost + u"a/photo.jpg", kHost + u"a/photo.jpg"));
    Sleep(300);
    E2E_CHECK(FindWindowW(L"#32770", L"注意") == nullptr);
    E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
    E2E_CHECK_EQ(AutoSplitInFile(app), std::wstring(L"1"));
  }
  Velnor app(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(app.started());
  E2E_CHECK(CopyAndWait(app, kHost + u"sam/12_0c.jpg", kHost));
  E2E_CHECK_EQ(FieldsOf(app), (SplitFields{kHost, u"sam/", u"12", u"0c", u"0c", u".jpg", 1, 1, 1, 1}));
  E2E_CHECK_EQ(app.Press(ids::kRenban), std::vector<ShownBox>{});
  E2E_CHECK_EQ(app.ListItems(ids::kUrllist).size(), 13u);
  E2E_CHECK_EQ(app.Command(ids::kEditAutoSplit), std::vector<ShownBox>{});
  E2E_CHECK(CopyAndWait(app, kHost + u"sam/12_0d.jpg", kHost + u"sam/12_0d.jpg"));
  E2E_CHECK_EQ(app.CloseAnswering(CloseBy::kCloseBox), std::vector<ShownBox>{});
  E2E_CHECK_EQ(AutoSplitInFile(app), std::wstring(L"0"));
}

}  // namespace velnor::e2e
