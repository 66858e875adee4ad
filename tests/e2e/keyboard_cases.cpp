// The window's shortcuts work while a text box has the focus: Ctrl+C is the window's copy
// command, never a copy of the box's text, Ctrl+X ends the program, never cuts text, and
// Ctrl+D splits the URL, Ctrl+F searches for the rest of the series.
// The keys are real keyboard input (SendInput) to the program's window in the foreground.
#include "driver.h"
#include "win32/control_ids.h"

namespace velnor::e2e {
namespace {

void PressWithControl(WORD vk) { SendKeys({{VK_CONTROL, true}, {vk, true}, {vk, false}, {VK_CONTROL, false}}); }

bool PutOnClipboard(const std::wstring& text) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
      memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
      GlobalUnlock(memory);
      const bool ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
      CloseClipboard();
      return ok;
    }
    Sleep(50);
  }
  return false;
}

std::wstring ClipboardText() {
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(nullptr)) {
      std::wstring text;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
          text = p;
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
      return text;
    }
    Sleep(50);
  }
  return L"(clipboard busy)";
}

// urltxt focused, holding text, with the window in the foreground; proves that typed keys
// arrive by typing one character at its end.
bool FocusUrlBox(Context& ctx, Velnor& app, const String& text) {
  HWND url = app.Control(ids::kUrltxt);
  app.SetText(ids::kUrltxt, text);
  SetForegroundWindow(app.window());
  WaitUntil([&] { return GetForegroundWindow() == app.window(); }, 2000);
  app.ClickAt(url, 5, 5);
  SendMessageW(url, WM_KEYDOWN, VK_END, 0);
  SendKeys({{'Q', true}, {'Q', false}});
  if (!E2E_CHECK(WaitUntil([&] { return app.Text(ids::kUrltxt) == text + u"q"; }, 3000))) return false;
  SendMessageW(url, EM_SETSEL, 0, -1);
  return true;
}

}  // namespace

E2E_CASE(ctrl_c_in_urltxt) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  E2E_REQUIRE(PutOnClipboard(L"sentinel"));
  E2E_REQUIRE(FocusUrlBox(ctx, app, u"http://example.com/copy-me/"));
  PressWithControl('C');
  // Give the keys time to arrive and the clipboard time to show any change.
  Sleep(800);
  SendMessageW(app.window(), WM_NULL, 0, 0);
  E2E_CHECK(ClipboardText() != L"http://example.com/copy-me/q");
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), String(u"http://example.com/copy-me/q"));
  E2E_CHECK(!app.Exited());
}

E2E_CASE(ctrl_x_closes) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  E2E_REQUIRE(PutOnClipboard(L"sentinel"));
  E2E_REQUIRE(FocusUrlBox(ctx, app, u"http://example.com/cut-me/"));
  PressWithControl('X');
  E2E_CHECK(app.Exited(5000));
  // The box's text was not cut to the clipboard.
  E2E_CHECK(ClipboardText() != L"http://example.com/cut-me/q");
}

// Ctrl+D splits the URL in urltxt, not a key for the box: 「連番 展開」 then gives the series.
E2E_CASE(ctrl_d_splits_in_urltxt) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  E2E_REQUIRE(FocusUrlBox(ctx, app, u"http://example.com/sam/12_0c.jpg?"));
  PressWithControl('D');
  E2E_CHECK(WaitUntil([&] { return app.Text(ids::kUrltxt) == u"http://example.com/"; }, 3000));
  E2E_CHECK_EQ(app.Text(ids::kCombo2), String(u"sam/"));
  E2E_CHECK_EQ(app.Text(ids::kText1), String(u"12"));
  E2E_CHECK_EQ(app.Text(ids::kText2), String(u"0c"));
  E2E_CHECK_EQ(app.Text(ids::kCombo1), String(u".jpg?q"));
  E2E_CHECK_EQ(app.Press(ids::kRenban), std::vector<ShownBox>{});
  const std::vector<String> items = app.ListItems(ids::kUrllist);
  E2E_CHECK_EQ(items.size(), 13u);
  if (!items.empty()) E2E_CHECK_EQ(items.back(), String(u"http://example.com/sam/12_0c.jpg?q"));
}

// Ctrl+F from urltxt runs 「続きを探す」, not a key for the box: the split URL's list already
// ends at 99, so it says so without a request.
E2E_CASE(ctrl_f_searches_from_urltxt) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  E2E_REQUIRE(FocusUrlBox(ctx, app, u"http://127.0.0.1:9/a/p99.jpg?"));
  PressWithControl('D');
  E2E_REQUIRE(WaitUntil([&] { return app.Text(ids::kText1) == u"99"; }, 3000));
  PressWithControl('F');
  HWND box = nullptr;
  E2E_CHECK(WaitUntil([&] { return (box = FindWindowW(L"#32770", L"注意")) != nullptr && IsWindowVisible(box); }, 3000));
  wchar_t text[128] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 128);
  E2E_CHECK_EQ(std::wstring(text), std::wstring(L"続きは見つかりませんでした"));
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  E2E_CHECK(WaitUntil([&] { return !IsWindow(box); }));
  E2E_CHECK_EQ(app.Text(ids::kCombo1), String(u".jpg?q"));
}

}  // namespace velnor::e2e
