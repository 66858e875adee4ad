// 「続きを探す」 on the real window: the input checks and their messages, the search after a
// copied URL (AUTOFIND, kept in Velnor.ini), and, against the cases' loopback server, whole
// series found from one item (one number, two numbers, a server that answers missing numbers
// with pages, one with one picture or a redirect to it, a failure after some found, nothing
// found), and the search stopped by 中止, Esc and the main window's close.
#include <string>

#include "download_driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

const String kCaution = u"注意";

String TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return ToString(std::wstring(text));
}

// The message box the program shows by itself (after a copy), answered with OK.
std::optional<ShownBox> AnswerBox(const Velnor& app, DWORD timeoutMs) {
  HWND box = nullptr;
  WaitUntil([&] {
    box = FindWindowW(L"#32770", L"注意");
    DWORD pid = 0;
    if (box) GetWindowThreadProcessId(box, &pid);
    return box && pid == app.processId() && IsWindowVisible(box);
  }, timeoutMs);
  if (!box || !IsWindowVisible(box)) return std::nullopt;
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  WaitUntil([box] { return !IsWindow(box); });
  return ShownBox{kCaution, ToString(std::wstring(text)), false};
}

std::wstring KeyInFile(const Velnor& app, const wchar_t* key) {
  wchar_t value[16] = {};
  GetPrivateProfileStringW(L"オプション", key, L"(none)", value, 16, (app.folder() + L"\\Velnor.ini").c_str());
  return value;
}

// A small JPEG-like file: never a page.
bool PutPicture(const Server& server, const std::wstring& name) {
  const std::wstring path = server.root() + L"\\" + name;
  CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
  return WriteFileContent(path, std::string("\xFF\xD8\xFF\xE0") + std::string(3000, 'j'));
}

std::wstring Two(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

}  // namespace

// The checks of 「連番 展開」 come first, with their messages; then the fields must give a
// number to continue (a list at its width limit: keyboard_cases.cpp). No request.
E2E_CASE(search_checks) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  auto boxes = [](std::initializer_list<const char16_t*> texts) {
    std::vector<ShownBox> shown;
    for (const char16_t* text : texts) shown.push_back({kCaution, text, false});
    return shown;
  };
  E2E_CHECK_EQ(app.Command(ids::kEditFindSeries), boxes({u"URLを入力して下さい"}));
  app.SetText(ids::kUrltxt, u"http://127.0.0.1:9/a/p");
  app.SetText(ids::kText1, u"99");
  app.SetCheck(ids::kCheck1, 0);
  app.SetCheck(ids::kCheck2, 0);
  E2E_CHECK_EQ(app.Command(ids::kEditFindSeries),
               boxes({u"チェックが入っていません", u"続きを探せる番号がありません"}));
  E2E_CHECK_EQ(app.Text(ids::kText1), String(u"99"));
  E2E_CHECK(app.ListItems(ids::kUrllist).empty());
}

// With both options on, a copied URL that splits is searched at once; the options are kept
// in the settings file. (The copy here ends its series at 99: the search asks nothing.)
E2E_CASE(search_auto_option) {
  {
    Velnor app(ctx);
    E2E_REQUIRE(app.started());
    E2E_CHECK_EQ(app.Command(ids::kEditAutoFind), std::vector<ShownBox>{});
    E2E_CHECK(WriteClipboardText(u"http://127.0.0.1:9/a/p98.jpg"));
    E2E_CHECK(WaitUntil([&] { return app.Text(ids::kUrltxt) == u"http://127.0.0.1:9/a/p98.jpg"; }));
    E2E_CHECK(!AnswerBox(app, 500));  // without the automatic split, nothing more
    E2E_CHECK_EQ(app.Command(ids::kEditAutoSplit), std::vector<ShownBox>{});
    E2E_CHECK(app.CloseAnswering(CloseBy::kCloseBox).empty());
    E2E_CHECK_EQ(KeyInFile(app, L"AUTOFIND"), std::wstring(L"1"));
  }
  Velnor app(ctx, SettingsFile::kKeep);
  E2E_REQUIRE(app.started());
  E2E_CHECK(WriteClipboardText(u"http://127.0.0.1:9/a/p99.jpg"));
  const std::optional<ShownBox> box = AnswerBox(app, 5000);
  E2E_CHECK(box && box->text == u"続きは見つかりませんでした");
  E2E_CHECK_EQ(app.Text(ids::kText1), String(u"99"));
  E2E_CHECK_EQ(app.Command(ids::kEditAutoFind), std::vector<ShownBox>{});
  E2E_CHECK(app.CloseAnswering(CloseBy::kMenu).empty());
  E2E_CHECK_EQ(KeyInFile(app, L"AUTOFIND"), std::wstring(L"0"));
}

// A series of 40 from a copy of its 12th item, split and searched by themselves: the list
// ends at 40, the server was asked only about the first KB of 13 ... 45 (and what was under way).
// Then a three-digit series that ends at 57 (four numbers missing in the middle), from a copy
// of s012: the split's list runs to 100, whose item is missing, so the search asks forward from
// 13 and the list ends at s057, three digits, without a box.
// Then a copy while the Save As dialog is open waits for it to close.
E2E_CASE(search_copied_series) {
  Velnor app(ctx);
  Server server(app.folder());
  E2E_REQUIRE(app.started() && server.started());
  for (int n = 1; n <= 40; ++n) E2E_REQUIRE(PutPicture(server, L"s\\p" + Two(n) + L".jpg"));
  for (int n = 0; n <= 57; ++n) {
    if (n < 30 || n > 33) E2E_REQUIRE(PutPicture(server, L"t\\s0" + Two(n) + L".jpg"));
  }
  E2E_CHECK_EQ(app.Command(ids::kEditAutoSplit), std::vector<ShownBox>{});
  E2E_CHECK_EQ(app.Command(ids::kEditAutoFind), std::vector<ShownBox>{});
  E2E_CHECK(WriteClipboardText(server.base() + u"files/s/p12.jpg"));
  E2E_CHECK(WaitUntil([&] { return app.ListItems(ids::kUrllist).size() == 41; }, 30000));
  const std::vector<String> items = app.ListItems(ids::kUrllist);
  if (!items.empty()) E2E_CHECK_EQ(items.back(), server.base() + u"files/s/p40.jpg");
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), String(u"URLをここに貼付けるか、入力して下さい。"));
  E2E_CHECK(!AnswerBox(app, 300));
  E2E_CHECK(server.Requests("/files/s/p12").empty());
  // The folder's sentinel first (a 404 here: one request more and nothing else changes).
  const std::vector<std::string> asked = server.Requests();
  E2E_CHECK(!asked.empty() && asked.front().find("\"/files/s/p9999999.jpg\"") != std::string::npos);
  E2E_CHECK_EQ(server.Requests("9999999").size(), 1u);
  E2E_CHECK_EQ(server.Requests("/files/s/p13.jpg").size(), 1u);
  for (const std::string& line : server.Requests("/files/s/p")) {
    E2E_CHECK(line.find("\"range\": \"bytes=0-1023\"") != std::string::npos);
  }
  E2E_CHECK_EQ(server.Requests("/files/s/p45.jpg").size(), 1u);
  E2E_CHECK(server.Requests("/files/s/p48.jpg").empty());

  ctx.SetScope("three digits below 100");
  E2E_CHECK(WriteClipboardText(server.base() + u"files/t/s012.jpg"));
  E2E_CHECK(WaitUntil([&] { return app.ListItems(ids::kUrllist).size() == 58; }, 30000));
  const std::vector<String> three = app.ListItems(ids::kUrllist);
  if (three.size() == 58) {
    E2E_CHECK_EQ(three.front(), server.base() + u"files/t/s000.jpg");
    E2E_CHECK_EQ(three.back(), server.base() + u"files/t/s057.jpg");
  }
  E2E_CHECK(!AnswerBox(app, 300));
  E2E_CHECK_EQ(server.Requests("/files/t/s100.jpg").size(), 1u);
  E2E_CHECK(server.Requests("/files/t/s101.jpg").empty());
  E2E_CHECK(server.Requests("/files/t/s012.jpg").empty());
  E2E_CHECK_EQ(server.Requests("/files/t/s013.jpg").size(), 1u);
  E2E_CHECK_EQ(server.Requests("/files/t/s062.jpg").size(), 1u);
  E2E_CHECK(server.Requests("/files/t/s065.jpg").empty());

  // Another series copied while the Save As dialog is open: split into the fields at once, but
  // searched only once the dialog has gone; the main window stays disabled behind it.
  ctx.SetScope("copied while Save As is open");
  for (int n = 1; n <= 5; ++n) E2E_REQUIRE(PutPicture(server, L"u\\q" + Two(n) + L".jpg"));
  PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(ids::kFileSaveList, 0), 0);
  HWND dialog = nullptr;
  E2E_REQUIRE(WaitUntil([&] {
    dialog = FindWindowW(L"#32770", nullptr);
    while (dialog && !(GetWindow(dialog, GW_OWNER) == app.window() && IsWindowVisible(dialog))) {
      dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr);
    }
    return dialog != nullptr;
  }, 10000));
  const String end = app.Text(ids::kText1);
  E2E_CHECK(WriteClipboardText(server.base() + u"files/u/q02.jpg"));
  E2E_CHECK(WaitUntil([&] { return app.Text(ids::kText1) != end; }));
  Sleep(1000);
  E2E_CHECK(server.Requests("/files/u/").empty());
  E2E_CHECK(IsWindow(dialog) && IsWindowVisible(dialog));
  E2E_CHECK(!IsWindowEnabled(app.window()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
  E2E_CHECK(WaitUntil([&] { return app.ListItems(ids::kUrllist).size() == 6; }, 30000));
  const std::vector<String> series = app.ListItems(ids::kUrllist);
  if (!series.empty()) E2E_CHECK_EQ(series.back(), server.base() + u"files/u/q05.jpg");
  E2E_CHECK(IsWindowEnabled(app.window()));
  E2E_CHECK(!AnswerBox(app, 300));
}

// Ctrl+F on fields split from one item: the list ends at the last item that exists, or the
// message says why it cannot.
E2E_CASE(search_series) {
  Velnor app(ctx);
  Server server(app.folder());
  E2E_REQUIRE(app.started() && server.started());
  for (int n = 0; n <= 37; ++n) {
    wchar_t name[32];
    swprintf(name, 32, L"t\\%02d_%02x.jpg", n, n);
    E2E_REQUIRE(PutPicture(server, name));
  }
  // Pictures alike, all of them: a series still, however like each other they are.
  for (int n = 1; n <= 20; ++n) E2E_REQUIRE(PutPicture(server, L"u\\p" + Two(n) + L".jpg"));
  E2E_REQUIRE(WriteFileContent(server.root() + L"\\removed.png", "\x89PNG\r\n\x1a\n" + std::string(2000, 'r')));
  const String failed = u"続きを探せませんでした\nHTTP 403\n" + server.base() + u"deny/u/p21.jpg";
  const struct {
    const char* name;
    String url;
    std::vector<ShownBox> boxes;
    size_t items;
    String last;
    String typedEnd = {};  // not split: the URL part and this end typed (the checks as they are)
  } rows[] = {
      {"two numbers", u"files/t/12_0c.jpg", {}, 38, u"files/t/37_25.jpg"},
      {"missing numbers are pages", u"pages/u/p05.jpg", {}, 21, u"pages/u/p20.jpg"},
      {"missing numbers are one picture", u"placeholder/u/p05.jpg", {}, 21, u"placeholder/u/p20.jpg"},
      {"missing numbers redirect to removed.png", u"removed/u/p05.jpg", {}, 21, u"removed/u/p20.jpg"},
      {"a 403 after some found", u"deny/u/p05.jpg", {{kCaution, failed, false}}, 21, u"deny/u/p20.jpg"},
      {"nothing after the copy", u"files/u/p20.jpg", {{kCaution, u"続きは見つかりませんでした", false}}, 0, u""},
      // 60 is a page: asked forward from 00 (a page too), the list ends at 20.
      {"typed too long", u"pages/u/p", {}, 21, u"pages/u/p20.jpg", u"60"},
  };
  for (const auto& row : rows) {
    ctx.SetScope(row.name);
    const std::vector<String> before = app.ListItems(ids::kUrllist);
    app.SetText(ids::kUrltxt, server.base() + row.url);
    if (row.typedEnd.empty()) {
      E2E_CHECK(app.Command(ids::kEditSplitUrl).empty());
    } else {
      app.SetText(ids::kText1, row.typedEnd);
    }
    const String text1 = app.Text(ids::kText1);
    E2E_CHECK_EQ(app.Command(ids::kEditFindSeries), row.boxes);
    const std::vector<String> items = app.ListItems(ids::kUrllist);
    if (row.items == 0) {  // the fields and the list as they were
      E2E_CHECK_EQ(app.Text(ids::kText1), text1);
      E2E_CHECK(items == before);
      continue;
    }
    E2E_CHECK_EQ(items.size(), row.items);
    if (!items.empty()) E2E_CHECK_EQ(items.back(), server.base() + row.last);
    E2E_CHECK_EQ(app.Text(ids::kText1), String());
  }
  E2E_CHECK_EQ(server.Requests("/pages/u/p60.jpg").size(), 1u);
  E2E_CHECK(server.Requests("/pages/u/p61.jpg").empty());
}

// A server that does not answer: the window shows the search, answers at once, and 中止,
// Esc and its close box each leave the fields and the list as they were; the main window's
// close stops it without a question and saves the settings.
E2E_CASE(search_stopped) {
  Velnor app(ctx);
  Server server(app.folder());
  E2E_REQUIRE(app.started() && server.started());
  const String url = server.base() + u"stall/s/p12.jpg";
  for (int way = 0; way < 4; ++way) {
    ctx.SetScope("way " + std::to_string(way));
    app.SetText(ids::kUrltxt, url);
    E2E_CHECK(app.Command(ids::kEditSplitUrl).empty());
    PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(ids::kEditFindSeries, 0), 0);
    HWND search = nullptr;
    E2E_REQUIRE(WaitUntil([&] {
      return (search = FindWindowW(ids::kSearchWindowClass, L"続きを探す - Velnor")) && IsWindowVisible(search);
    }));
    E2E_CHECK_EQ(TextOf(GetDlgItem(search, ids::kFsFound)), String(u"続きを探しています"));
    E2E_CHECK_EQ(TextOf(GetDlgItem(search, ids::kFsAbort)), String(u"中止(&A)"));
    const double searchAnswer = AnswerTime(search), mainAnswer = AnswerTime(app.window());
    ctx.SetScope("way " + std::to_string(way) + ", WM_NULL answered in " + std::to_string(searchAnswer) + " and " +
                 std::to_string(mainAnswer) + " ms");
    E2E_CHECK(searchAnswer < 100 && mainAnswer < 100);
    E2E_CHECK(!IsWindowEnabled(app.window()));
    if (way == 3) {
      E2E_CHECK(app.CloseAnswering(CloseBy::kCloseBox, 5000).empty());
      E2E_CHECK_EQ(KeyInFile(app, L"AUTOFIND"), std::wstring(L"0"));
      break;
    }
    if (way == 0) PostMessageW(GetDlgItem(search, ids::kFsAbort), BM_CLICK, 0, 0);
    if (way == 1) app.PostKey(GetDlgItem(search, ids::kFsAbort), VK_ESCAPE);
    if (way == 2) PostMessageW(search, WM_CLOSE, 0, 0);
    E2E_CHECK(WaitUntil([&] { return !IsWindow(search); }, 1000));
    E2E_CHECK(!AnswerBox(app, 200));
    E2E_CHECK_EQ(app.Text(ids::kText1), String(u"12"));
    E2E_CHECK(app.ListItems(ids::kUrllist).empty());
    E2E_CHECK(IsWindowEnabled(app.window()));
  }
}

}  // namespace velnor::e2e
