// The main window as it stands after start: frame, controls in place at the screen's real
// resolution, fonts, menus, resources; and laid out again when its DPI changes.
#include <algorithm>
#include <iterator>

#include "driver.h"
#include "win32/control_ids.h"
#include "win32/menus.h"

namespace velnor::e2e {
namespace {

struct Placement {
  const char* name;
  int id;
  int left, top, width, height;  // 1/1440 inch, client coordinates
};

// The visible controls and where they stand.
const Placement kPlacements[] = {
    {"List1", ids::kList1, 120, 200, 5775, 240},
    {"renban", ids::kRenban, 6000, 120, 1215, 375},
    {"Copy", ids::kCopy, 7320, 120, 1095, 375},
    {"urltxt", ids::kUrltxt, 120, 720, 8295, 270},
    {"Check3", ids::kCheck3, 200, 1140, 255, 255},
    {"Combo2", ids::kCombo2, 480, 1125, 975, 300},
    {"Check1", ids::kCheck1, 1560, 1080, 255, 375},
    {"Text(1)", ids::kText1, 1800, 1140, 735, 270},
    {"Label1", ids::kLabel1, 2685, 1185, 615, 255},
    {"Option0", ids::kOption0, 3360, 1080, 495, 375},
    {"Option1", ids::kOption1, 3840, 1080, 495, 375},
    {"Checkund", ids::kCheckund, 4320, 1080, 1935, 375},
    {"Check2", ids::kCheck2, 6360, 1080, 255, 375},
    {"Combo3", ids::kCombo3, 6720, 1125, 735, 300},
    {"Combo1", ids::kCombo1, 7560, 1125, 855, 300},
    {"urllist", ids::kUrllist, 120, 1520, 8295, 1860},
};

struct Caption {
  int id;
  const char16_t* text;
};

const Caption kCaptions[] = {
    {ids::kRenban, u"連番 展開"},
    {ids::kCopy, u"LIST COPY"},
    {ids::kLabel1, u"開始No"},
    {ids::kOption0, u"0"},
    {ids::kOption1, u"1"},
    {ids::kCheckund, u" \"_\" ｱﾝﾀﾞｰﾊﾞｰを追加"},
    {ids::kCheck1, u""},
    {ids::kCheck2, u""},
};

// The window at dpi: its outer size, every visible control at its place inside the client
// area, and the user-interface font of that DPI on the lists, combo boxes and text boxes. A
// window message does not hand a font to another process, but what the font measures shows:
// list entries are as high as its characters, and an edit places its characters by their
// widths (urltxt and Text(1) must hold two characters or more).
void CheckWindowAt(Context& ctx, Velnor& app, int dpi) {
  const std::string at = std::to_string(dpi) + " dpi, ";
  ctx.SetScope(at + "window");
  RECT outer{};
  GetWindowRect(app.window(), &outer);
  E2E_CHECK_EQ(outer.right - outer.left, Px(8625, dpi));
  E2E_CHECK_EQ(outer.bottom - outer.top, Px(4320, dpi));

  RECT client{};
  GetClientRect(app.window(), &client);
  for (const Placement& p : kPlacements) {
    ctx.SetScope(at + p.name);
    HWND control = app.Control(p.id);
    if (!E2E_CHECK(control != nullptr)) continue;
    E2E_CHECK(IsWindowVisible(control));
    const RECT r = ClientRectOf(app.window(), control);
    E2E_CHECK_EQ(r.left, Px(p.left, dpi));
    E2E_CHECK_EQ(r.top, Px(p.top, dpi));
    E2E_CHECK_EQ(r.right - r.left, Px(p.width, dpi));
    E2E_CHECK_EQ(r.bottom - r.top, Px(p.height, dpi));
    E2E_CHECK(r.right <= client.right);
    E2E_CHECK(r.bottom <= client.bottom);
  }
  ctx.SetScope(at + "window");
  // The right margin matches the left one.
  E2E_CHECK(client.right - Px(8415, dpi) >= Px(120, dpi) - 2);

  HFONT uiFont = CreateUiFontAt(dpi);
  E2E_REQUIRE(uiFont != nullptr);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, uiFont);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  for (int id : {ids::kList1, ids::kUrllist}) {
    ctx.SetScope(at + "font of list " + std::to_string(id));
    E2E_CHECK_EQ(static_cast<int>(SendMessageW(app.Control(id), LB_GETITEMHEIGHT, 0, 0)), static_cast<int>(tm.tmHeight));
  }
  for (int id : {ids::kCombo1, ids::kCombo2, ids::kCombo3}) {
    ctx.SetScope(at + "font of combo " + std::to_string(id));
    E2E_CHECK_EQ(static_cast<int>(SendMessageW(app.Control(id), CB_GETITEMHEIGHT, 0, 0)), static_cast<int>(tm.tmHeight));
  }
  for (int id : {ids::kUrltxt, ids::kText1}) {
    ctx.SetScope(at + "font of edit " + std::to_string(id));
    const String text = app.Text(id);
    if (!E2E_CHECK(text.size() >= 2)) continue;
    SIZE extent{};
    GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()), 1, &extent);
    const auto first = SendMessageW(app.Control(id), EM_POSFROMCHAR, 0, 0);
    const auto second = SendMessageW(app.Control(id), EM_POSFROMCHAR, 1, 0);
    E2E_CHECK_EQ(static_cast<short>(LOWORD(second)) - static_cast<short>(LOWORD(first)), static_cast<int>(extent.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(uiFont);
  ctx.SetScope("");
}

void CheckLayout(Context& ctx) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  const int dpi = ScreenDpi();
  if (ctx.options().expectedDpi) E2E_CHECK_EQ(dpi, ctx.options().expectedDpi);

  // The window: caption, fixed border with a minimize box only; its size and the controls
  // below.
  wchar_t caption[64] = {};
  GetWindowTextW(app.window(), caption, 64);
  E2E_CHECK_EQ(std::wstring(caption), std::wstring(L"Velnor"));
  const LONG_PTR style = GetWindowLongPtrW(app.window(), GWL_STYLE);
  E2E_CHECK((style & WS_MINIMIZEBOX) != 0);
  E2E_CHECK((style & WS_MAXIMIZEBOX) == 0);
  E2E_CHECK((style & WS_THICKFRAME) == 0);
  for (int id : {ids::kUrltxt, ids::kText1}) app.SetText(id, u"WW");
  CheckWindowAt(ctx, app, dpi);

  for (const Caption& c : kCaptions) {
    ctx.SetScope(std::to_string(c.id));
    E2E_CHECK_EQ(app.Text(c.id), String(c.text));
  }
  ctx.SetScope("");

  // Text(2) is a work field: it exists beyond the client area and is never visible.
  RECT client{};
  GetClientRect(app.window(), &client);
  HWND text2 = app.Control(ids::kText2);
  E2E_CHECK(text2 != nullptr && !IsWindowVisible(text2));
  E2E_CHECK(ClientRectOf(app.window(), text2).left >= client.right);

  // urllist: extended selection (its horizontal scroll bar shows once an item is wider than
  // the box: see expand_extent); the other lists single selection.
  const LONG_PTR listStyle = GetWindowLongPtrW(app.Control(ids::kUrllist), GWL_STYLE);
  E2E_CHECK((listStyle & LBS_EXTENDEDSEL) != 0);
  E2E_CHECK((listStyle & LBS_SORT) == 0);

  const LONG_PTR samplesStyle = GetWindowLongPtrW(app.Control(ids::kList1), GWL_STYLE);
  E2E_CHECK((samplesStyle & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL | LBS_SORT)) == 0);

  // Text boxes take more than the edit control's default 30000 characters.
  for (int id : {ids::kUrltxt, ids::kText1, ids::kText2}) {
    E2E_CHECK(SendMessageW(app.Control(id), EM_GETLIMITTEXT, 0, 0) > 30000);
  }

  // List1: its two samples, one line high, so one sample shows at a time.
  const std::vector<String> samples = {u"http://～～～/xxx_yyy+.拡張子", u"http://～～～/xxx+.拡張子"};
  E2E_CHECK_EQ(app.ListItems(ids::kList1), samples);
  RECT samplesClient{};
  GetClientRect(app.Control(ids::kList1), &samplesClient);
  const auto itemHeight = static_cast<int>(SendMessageW(app.Control(ids::kList1), LB_GETITEMHEIGHT, 0, 0));
  E2E_CHECK(samplesClient.bottom < 2 * itemHeight);
}

}  // namespace

E2E_CASE(layout) { CheckLayout(ctx); }

namespace {

// What the user typed, ticked, selected and scrolled.
struct UserState {
  std::vector<String> texts;    // urltxt, Text(1), Combo2, Combo1, Combo3
  std::vector<int> checks;      // Check3, Check1, Checkund, Check2, Option0, Option1
  std::vector<int> selected;    // urllist
  std::vector<int> positions;   // urltxt's selection start and end; urllist's top and caret; List1's top
};

UserState ReadUserState(Velnor& app) {
  UserState state;
  for (int id : {ids::kUrltxt, ids::kText1, ids::kCombo2, ids::kCombo1, ids::kCombo3}) state.texts.push_back(app.Text(id));
  for (int id : {ids::kCheck3, ids::kCheck1, ids::kCheckund, ids::kCheck2, ids::kOption0, ids::kOption1}) {
    state.checks.push_back(app.CheckValue(id));
  }
  state.selected = app.SelectedItems(ids::kUrllist);
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(app.Control(ids::kUrltxt), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  HWND urllist = app.Control(ids::kUrllist);
  state.positions = {static_cast<int>(start), static_cast<int>(end),
                     static_cast<int>(SendMessageW(urllist, LB_GETTOPINDEX, 0, 0)),
                     static_cast<int>(SendMessageW(urllist, LB_GETCARETINDEX, 0, 0)),
                     static_cast<int>(SendMessageW(app.Control(ids::kList1), LB_GETTOPINDEX, 0, 0))};
  return state;
}

// How far a list box is scrolled sideways, in pixels. Under Wine another process's scroll
// bar cannot be read, but the list box widens its item rectangles by the distance scrolled.
int SidewaysScroll(HWND list) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS;
  if (GetScrollInfo(list, SB_HORZ, &info)) return info.nPos;
  RECT item{};
  RECT client{};
  SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  GetClientRect(list, &client);
  return static_cast<int>(item.right - client.right);
}

}  // namespace

// The window moves between monitors of 96, 144 and 120 dpi: at each step it takes the
// system's rectangle and lays every control out again at the new DPI, with the font of that
// DPI and urllist's extent in its pixels, and keeps whatever the user has entered.
E2E_CASE(dpi_change) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  const int systemDpi = ScreenDpi();

  // A result list wider than its box, scrolled sideways and down, some items selected.
  app.Click(ids::kOption1);
  for (int id : {ids::kCheck3, ids::kCheckund, ids::kCheck2}) app.SetCheck(id, 0);
  app.SetCheck(ids::kCheck1, 1);
  SendMessageW(app.ComboEdit(ids::kCombo1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L".jpg"));
  app.SetText(ids::kUrltxt, u"http://example.com/" + String(100, u'x') + u"/");
  app.Type(ids::kText1, u"60");
  app.Press(ids::kRenban);
  const std::vector<String> items = app.ListItems(ids::kUrllist);
  E2E_REQUIRE(items.size() == 60u);
  size_t widest = 0;
  for (const String& item : items) widest = std::max(widest, item.size());  // ASCII: a byte a character
  HWND urllist = app.Control(ids::kUrllist);
  for (int index : {2, 5, 40}) app.SelectItem(ids::kUrllist, index);
  SendMessageW(urllist, LB_SETTOPINDEX, 30, 0);
  SendMessageW(urllist, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 60), 0);
  const int sideways = SidewaysScroll(urllist);
  E2E_CHECK_EQ(sideways, 60);

  // Fields typed into and ticked, a part of the URL selected, the second sample in view.
  app.SetText(ids::kUrltxt, u"http://example.com/dpi/");
  SendMessageW(app.Control(ids::kUrltxt), EM_SETSEL, 7, 18);
  app.Type(ids::kText1, u"12");
  SendMessageW(app.ComboEdit(ids::kCombo2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sub/"));
  SendMessageW(app.ComboEdit(ids::kCombo1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L".png"));
  app.Type(app.ComboEdit(ids::kCombo3), u"0f");
  app.SetCheck(ids::kCheck3, 1);
  app.SetCheck(ids::kCheckund, 1);
  SendMessageW(app.Control(ids::kList1), LB_SETTOPINDEX, 1, 0);
  const UserState before = ReadUserState(app);
  E2E_CHECK_EQ(before.positions, (std::vector<int>{7, 18, 30, before.positions[3], 1}));

  int from = systemDpi;
  std::vector<int> steps = {144, 120, 96};
  if (systemDpi != 96) steps.push_back(systemDpi);
  for (int dpi : steps) {
    ctx.SetScope(std::to_string(from) + " to " + std::to_string(dpi) + " dpi");
    const RECT suggested = SuggestedDpiRect(app.window(), from, dpi);
    E2E_REQUIRE(SendDpiChanged(app.process(), app.window(), dpi, suggested));
    RECT outer{};
    GetWindowRect(app.window(), &outer);
    E2E_CHECK_EQ(outer.left, suggested.left);
    E2E_CHECK_EQ(outer.top, suggested.top);
    CheckWindowAt(ctx, app, dpi);

    ctx.SetScope(std::to_string(dpi) + " dpi, what the user entered");
    const UserState after = ReadUserState(app);
    E2E_CHECK_EQ(after.texts, before.texts);
    E2E_CHECK_EQ(after.checks, before.checks);
    E2E_CHECK_EQ(after.selected, before.selected);
    E2E_CHECK_EQ(after.positions, before.positions);
    E2E_CHECK_EQ(app.ListItems(ids::kUrllist), items);
    // The extent in pixels of this DPI, and the sideways scroll at the same place in the text.
    const int pixel = (1440 + dpi / 2) / dpi;
    E2E_CHECK_EQ(app.HorizontalExtent(ids::kUrllist), static_cast<int>(widest * 90 + 120) / pixel);
    E2E_CHECK_EQ(SidewaysScroll(urllist), MulDiv(sideways, dpi, systemDpi));
    from = dpi;
  }
}

// What start-up leaves in the fields.
E2E_CASE(start_state) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  E2E_CHECK_EQ(app.Text(ids::kUrltxt), String(u"URLをここに貼付けるか、入力して下さい。"));
  E2E_CHECK_EQ(app.ListItems(ids::kUrllist).size(), 0u);
  E2E_CHECK_EQ(app.Text(ids::kText1), String());
  E2E_CHECK_EQ(app.Text(ids::kText2), String());
  E2E_CHECK_EQ(app.Text(ids::kCombo3), String());
  const std::vector<String> choices = app.ComboItems(ids::kCombo3);
  E2E_CHECK_EQ(choices.size(), 160u);
  if (choices.size() == 160) {
    E2E_CHECK_EQ(choices.front(), String(u"00"));
    E2E_CHECK_EQ(choices[10], String(u"0a"));
    E2E_CHECK_EQ(choices[16], String(u"10"));
    E2E_CHECK_EQ(choices.back(), String(u"9f"));
  }
}

// The menus with their captions and separators. Wine keeps a menu's items to the process
// that made it, so the items are read from the same table the program builds its menu bar
// from; the real window shows that the bar is there and that its items run their commands.
E2E_CASE(menus) {
  HMENU bar = CreateMainMenu();
  auto caption = [](HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return std::wstring(text);
  };
  E2E_CHECK_EQ(GetMenuItemCount(bar), 3);
  E2E_CHECK_EQ(caption(bar, 0), std::wstring(L"ファイル(&F)"));
  E2E_CHECK_EQ(caption(bar, 1), std::wstring(L"編集(&E)"));
  E2E_CHECK_EQ(caption(bar, 2), std::wstring(L"ヘルプ(&H)"));

  struct Item {
    int menu;
    UINT position;
    UINT id;  // 0: separator
    const wchar_t* text;
  };
  const Item items[] = {
      {0, 0, ids::kFileSecSave, L"選択された項目をコピー"},
      {0, 1, ids::kFileAllSave, L"全ての項目をコピー(&C)\tCtrl+C"},
      {0, 2, ids::kFileSaveList, L"一覧をファイルに保存(&S)...\tCtrl+S"},
      {0, 3, ids::kFileDownload, L"一覧をダウンロード(&D)...\tCtrl+J"},
      {0, 4, 0, L""},
      {0, 5, ids::kFileEnd, L"終了(&X)\tCtrl+X"},
      {1, 0, ids::kEditSplitUrl, L"URLを分解(&D)\tCtrl+D"},
      {1, 1, ids::kEditFindSeries, L"続きを探す(&F)\tCtrl+F"},
      {1, 2, ids::kEditAutoSplit, L"コピーしたURLを自動で分解(&A)"},
      {1, 3, ids::kEditAutoFind, L"コピーしたURLの続きも探す(&N)"},
      {1, 4, ids::kEditCopyHttps, L"https:// のURLも取り込む(&H)"},
      {2, 0, ids::kHelpSub, L"ヘルプ(&H)"},
      {2, 1, 0, L""},
      {2, 2, ids::kVersion, L"バージョン情報(&A)"},
  };
  E2E_CHECK_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 6);
  E2E_CHECK_EQ(GetMenuItemCount(GetSubMenu(bar, 1)), 5);
  E2E_CHECK_EQ(GetMenuItemCount(GetSubMenu(bar, 2)), 3);
  for (const Item& item : items) {
    HMENU menu = GetSubMenu(bar, item.menu);
    ctx.SetScope(std::to_string(item.menu) + "/" + std::to_string(item.position));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    E2E_CHECK(GetMenuItemInfoW(menu, item.position, TRUE, &info));
    if (item.id == 0) {
      E2E_CHECK((info.fType & MFT_SEPARATOR) != 0);
    } else {
      E2E_CHECK_EQ(info.wID, item.id);
      E2E_CHECK_EQ(caption(menu, item.position), std::wstring(item.text));
    }
  }
  DestroyMenu(bar);
  ctx.SetScope("");

  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  E2E_CHECK(GetMenu(app.window()) != nullptr);
  // A click on File_end: the program ends.
  PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(ids::kFileEnd, 0), 0);
  E2E_CHECK(app.Exited(5000));
}

// The program file: version record, icon sizes, no DLL of its own.
E2E_CASE(resources) {
  const std::wstring& exe = ctx.options().exePath;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  E2E_REQUIRE(size > 0);
  std::vector<char> data(size);
  E2E_REQUIRE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));
  struct Entry {
    const wchar_t* key;
    const wchar_t* value;
  };
  const Entry entries[] = {
      {L"FileVersion", L"1.00"},
      {L"ProductVersion", L"1.00"},
      {L"FileDescription", L"URLの連番を展開します"},
      {L"InternalName", L"Velnor"},
      {L"OriginalFilename", L"Velnor.exe"},
  };
  for (const Entry& e : entries) {
    ctx.SetScope(std::string(e.key, e.key + wcslen(e.key)));
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + e.key;
    E2E_CHECK(VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
    E2E_CHECK_EQ(std::wstring(value ? value : L""), std::wstring(e.value));
  }
  ctx.SetScope("");
  DWORD* translation = nullptr;
  UINT length = 0;
  E2E_CHECK(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  E2E_CHECK(translation != nullptr && *translation == MAKELONG(0x0411, 1200));

  // The icon group holds 16, 32 and 48 pixel images.
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  E2E_REQUIRE(module != nullptr);
  for (int pixels : {16, 32, 48}) {
    ctx.SetScope("icon " + std::to_string(pixels));
    auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(ids::kAppIcon), IMAGE_ICON, pixels, pixels, 0));
    E2E_CHECK(icon != nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(ids::kAppIcon), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    if (group) {
      const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
      const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(dir), TRUE, pixels, pixels, 0);
      HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));  // RT_ICON
      const auto* header = image ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image))) : nullptr;
      E2E_CHECK(header != nullptr && header->biWidth == pixels);
    }
    if (icon) DestroyIcon(icon);
  }
  FreeLibrary(module);
}

}  // namespace velnor::e2e
