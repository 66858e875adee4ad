// Every caption, label and field text of the main window, the About box and the download
// window fits inside its control with the system's user-interface font, and so do the download
// list's state texts. Run in every Wine prefix, also in the ones
// whose font is as tall as the Japanese fonts of Windows 10 and 11 (scripts/wine-env.sh).
// Wine does not hand a control's font to another process: the font is made here from the same
// system metrics, as the layout case does, and measured against each control's client area.
#include <algorithm>
#include <cstdio>
#include <string>

#include "download_driver.h"
#include "win32/about_box.h"
#include "win32/control_ids.h"

#include <commctrl.h>  // after windows.h (driver.h)

namespace velnor::e2e {
namespace {

enum class Room {
  kButton,   // the caption inside the button less its border and focus rectangle
  kCheck,    // box, gap and caption
  kBoxOnly,  // a check box only as wide as its mark, its caption not shown
  kLabel,    // the text in the label
  kEdit,     // a line of text in a single-line edit
  kCombo,    // a line in the combo box's selection field and in its list
  kList,     // one item
};

struct TextPlace {
  const char* name;
  int id;
  Room room;
};

const TextPlace kMainWindowTexts[] = {
    {"renban", ids::kRenban, Room::kButton},   {"Copy", ids::kCopy, Room::kButton},
    {"urltxt", ids::kUrltxt, Room::kEdit},     {"Check3", ids::kCheck3, Room::kBoxOnly},
    {"Combo2", ids::kCombo2, Room::kCombo},    {"Check1", ids::kCheck1, Room::kCheck},
    {"Text(1)", ids::kText1, Room::kEdit},     {"Label1", ids::kLabel1, Room::kLabel},
    {"Option0", ids::kOption0, Room::kCheck},  {"Option1", ids::kOption1, Room::kCheck},
    {"Checkund", ids::kCheckund, Room::kCheck}, {"Check2", ids::kCheck2, Room::kCheck},
    {"Combo3", ids::kCombo3, Room::kCombo},    {"Combo1", ids::kCombo1, Room::kCombo},
    {"List1", ids::kList1, Room::kList},       {"urllist", ids::kUrllist, Room::kList},
};

const TextPlace kAboutBoxTexts[] = {
    {"About Label1", kAboutProductLine, Room::kLabel},
    {"About Label2", kAboutVersion, Room::kLabel},
    {"About Label3", kAboutCopyright, Room::kLabel},
    {"About cmdOK", kAboutOk, Room::kButton},
};

// The download window's, with fields holding short texts.
const TextPlace kDownloadWindowTexts[] = {
    {"保存先", ids::kDlFolderLabel, Room::kLabel},          {"folder", ids::kDlFolder, Room::kEdit},
    {"参照", ids::kDlBrowse, Room::kButton},                {"同時接続数", ids::kDlConnectionsLabel, Room::kLabel},
    {"止める", ids::kDlStopMissing, Room::kCheck},          {"Referer", ids::kDlReferer, Room::kCheck},
    {"Referer URL", ids::kDlRefererUrlLabel, Room::kLabel}, {"referer url", ids::kDlRefererUrl, Room::kEdit},
    {"クッキー", ids::kDlCookiesLabel, Room::kLabel},       {"cookies", ids::kDlCookies, Room::kEdit},
    {"選ぶ", ids::kDlCookiesBrowse, Room::kButton},         {"開始", ids::kDlStart, Room::kButton},
    {"中止", ids::kDlAbort, Room::kButton},                 {"フォルダを開く", ids::kDlOpenFolder, Room::kButton},
    {"閉じる", ids::kDlClose, Room::kButton},
};

// The user-interface font at dpi, selected into a screen DC for as long as it lives.
class UiFontDc {
 public:
  explicit UiFontDc(int dpi) : font_(CreateUiFontAt(dpi)), dc_(GetDC(nullptr)) {
    old_ = SelectObject(dc_, font_);
    GetTextMetricsW(dc_, &tm_);
  }
  ~UiFontDc() {
    SelectObject(dc_, old_);
    ReleaseDC(nullptr, dc_);
    DeleteObject(font_);
  }
  UiFontDc(const UiFontDc&) = delete;
  UiFontDc& operator=(const UiFontDc&) = delete;
  bool ok() const { return font_ != nullptr; }
  const TEXTMETRICW& metrics() const { return tm_; }
  int Width(const String& text) const {
    SIZE extent{};
    GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &extent);
    return extent.cx;
  }

 private:
  HFONT font_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
  TEXTMETRICW tm_{};
};

String ControlText(HWND control) {
  wchar_t text[256] = {};  // WM_GETTEXT: GetWindowText reads another process's edit as created
  const auto length = SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return String(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(std::max<LRESULT>(length, 0)));
}

int ClientHeight(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return r.bottom;
}

int ClientWidth(HWND control) {
  RECT r{};
  GetClientRect(control, &r);
  return r.right;
}

// A single-line edit draws its line from the top of its client area down and cuts it at the
// bottom. A line of a tall Japanese font can be higher than an edit of the window's layout
// (urltxt, Text(1) and the selection fields, one line of a lower font high with a sunken
// border); the program gives such an edit the pixels of its border and padding that the
// visual style leaves blank, so that at most the lowest pixel row of the line, below the
// letters' descenders, is cut. The text must fit its width as well.
void CheckEditLine(Context& ctx, const UiFontDc& font, HWND edit, const char* name, int dpi, bool checkWidth) {
  const TEXTMETRICW& tm = font.metrics();
  const String text = ControlText(edit);
  const auto position = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
  const int top = text.empty() || position == -1 ? 0 : static_cast<short>(HIWORD(position));
  const int height = ClientHeight(edit);
  const auto margins = static_cast<DWORD>(SendMessageW(edit, EM_GETMARGINS, 0, 0));
  const int room = ClientWidth(edit) - LOWORD(margins) - HIWORD(margins);
  std::printf("%d dpi %-12s line %d (ascent %ld) from y %d in client height %d, cut %d; width %d in %d\n", dpi,
              name, static_cast<int>(tm.tmHeight), tm.tmAscent, top, height,
              std::max(0, top + static_cast<int>(tm.tmHeight) - height), font.Width(text), room);
  E2E_CHECK(top >= 0);
  E2E_CHECK(top + tm.tmAscent <= height);
  E2E_CHECK(top + tm.tmHeight - height <= 1);
  if (checkWidth) E2E_CHECK(font.Width(text) <= room);
}

void CheckText(Context& ctx, const UiFontDc& font, HWND control, const TextPlace& place, int dpi, HWND comboEdit) {
  ctx.SetScope(std::to_string(dpi) + " dpi, " + place.name);
  if (!E2E_CHECK(control != nullptr)) return;
  const TEXTMETRICW& tm = font.metrics();
  const int line = tm.tmHeight;
  const int width = ClientWidth(control);
  const int height = ClientHeight(control);
  String text = ControlText(control);
  // An access key's "&" is not drawn.
  if (place.room != Room::kEdit) std::erase(text, u'&');
  switch (place.room) {
    case Room::kButton: {
      const int border = MulDiv(3, dpi, 96);  // the raised edge and the focus rectangle inside it
      std::printf("%d dpi %-12s caption %dx%d in %dx%d\n", dpi, place.name, font.Width(text), line,
                  width - 2 * border, height - 2 * border);
      E2E_CHECK(!text.empty());
      E2E_CHECK(font.Width(text) <= width - 2 * border);
      E2E_CHECK(line <= height - 2 * border);
      break;
    }
    case Room::kBoxOnly:
    case Room::kCheck: {
      // The box is 12 pixels at 96 dpi and one more; the caption follows half a digit's width
      // after it. Aligned right, a caption that starts with blanks may lose them.
      const int box = MulDiv(12, dpi, 96) + 1;
      String shown = place.room == Room::kBoxOnly ? String() : text;
      if ((GetWindowLongPtrW(control, GWL_STYLE) & BS_CENTER) == BS_RIGHT) {
        shown.erase(0, std::min(shown.find_first_not_of(u' '), shown.size()));
      }
      const int needed = shown.empty() ? box : box + font.Width(u"0") / 2 + font.Width(shown);
      const int needHeight = shown.empty() ? box : std::max(box, line);
      std::printf("%d dpi %-12s box and caption %dx%d in %dx%d\n", dpi, place.name, needed, needHeight, width, height);
      E2E_CHECK(needed <= width);
      E2E_CHECK(needHeight <= height);
      break;
    }
    case Room::kLabel: {
      // The About box's product line runs under the version label: it must end before it.
      int room = width;
      if (place.id == kAboutProductLine) room = Px(3480 - 1050, dpi);
      std::printf("%d dpi %-12s text %dx%d in %dx%d\n", dpi, place.name, font.Width(text), line, room, height);
      E2E_CHECK(!text.empty());
      E2E_CHECK(font.Width(text) <= room);
      E2E_CHECK(line <= height);
      break;
    }
    case Room::kEdit:
      CheckEditLine(ctx, font, control, place.name, dpi, true);
      break;
    case Room::kCombo: {
      if (!E2E_CHECK(comboEdit != nullptr)) break;
      // Under Wine a combo box keeps the drop-down button of the system's DPI after a move to
      // another: the selection field's width is not the program's then.
      CheckEditLine(ctx, font, comboEdit, place.name, dpi, dpi == ScreenDpi());
      const auto item = static_cast<int>(SendMessageW(control, CB_GETITEMHEIGHT, 0, 0));
      E2E_CHECK(item >= line);
      break;
    }
    case Room::kList: {
      // An item is as high as a line. Where the box shows less than a line (List1, one line
      // of a lower font high), the program draws the items itself with the characters (the
      // line less its internal leading, which holds no ink) centred in what shows.
      const auto item = static_cast<int>(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0));
      const int shown = std::min(item, height);
      const int characters = line - tm.tmInternalLeading;
      const bool ownerDrawn = (GetWindowLongPtrW(control, GWL_STYLE) & LBS_OWNERDRAWFIXED) != 0;
      std::printf("%d dpi %-12s item %d (line %d, characters %d) shows %d%s\n", dpi, place.name, item, line,
                  characters, shown, ownerDrawn ? ", drawn by the program" : "");
      E2E_CHECK(item >= line);
      if (shown < line) {
        E2E_CHECK(ownerDrawn);
        E2E_CHECK(characters <= shown);
      }
      break;
    }
  }
}

// The main window's texts at dpi, with the user-interface font of that DPI.
void CheckMainWindowTexts(Context& ctx, Velnor& app, int dpi) {
  UiFontDc font(dpi);
  E2E_REQUIRE(font.ok());
  std::printf("%d dpi user-interface font: line %ld, ascent %ld, descent %ld, internal leading %ld\n", dpi,
              font.metrics().tmHeight, font.metrics().tmAscent, font.metrics().tmDescent,
              font.metrics().tmInternalLeading);
  for (const TextPlace& place : kMainWindowTexts) {
    const HWND edit = place.room == Room::kCombo ? app.ComboEdit(place.id) : nullptr;
    CheckText(ctx, font, app.Control(place.id), place, dpi, edit);
  }
  ctx.SetScope("");
}

// The download list's 状態 column, as the window opens at dpi, shows its longest texts whole:
// a cell's text is inset six pixels at 96 dpi on each side.
void CheckStateColumn(Context& ctx, Velnor& app, int dpi) {
  ctx.SetScope("download window's 状態 column");
  E2E_CHECK_EQ(app.Command(ids::kFileDownload).size(), 0u);
  DownloadWindow dl(app);
  if (!E2E_CHECK(dl.window() != nullptr)) return;
  UiFontDc font(dpi);
  const int column = ListView_GetColumnWidth(dl.Control(ids::kDlList), 1);
  for (const String& text : {String(u"失敗: 対応していないリダイレクト"), String(u"見つかりません (ページ)")}) {
    std::printf("%d dpi state column %d for a text of %d\n", dpi, column, font.Width(text));
    E2E_CHECK(font.Width(text) + 2 * Px(90, dpi) <= column);
  }
  dl.Press(ids::kDlClose);
  E2E_CHECK(WaitUntil([&] { return !IsWindow(dl.window()); }, 3000));
  ctx.SetScope("");
}

}  // namespace

// At the screen's DPI, the download list's 状態 column, the main window and the About box;
// then the main window again after it has moved to a monitor of another DPI (the fitting is
// redone with the new font), and the column of a download window opened there.
E2E_CASE(texts_fit) {
  Velnor app(ctx);
  E2E_REQUIRE(app.started());
  const int dpi = ScreenDpi();
  if (ctx.options().expectedDpi) E2E_CHECK_EQ(dpi, ctx.options().expectedDpi);
  E2E_REQUIRE(app.ExpandNumbers(u"http://127.0.0.1:9/x", 2, u".jpg").empty());  // a list to download
  CheckStateColumn(ctx, app, dpi);

  // The fields hold the widest texts they take: three digits in Text(1), two characters of
  // the second number, a subfolder and an extension as the user types them.
  app.Type(ids::kText1, u"888");
  SendMessageW(app.ComboEdit(ids::kCombo2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"sam/"));
  SendMessageW(app.ComboEdit(ids::kCombo3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"9f"));
  SendMessageW(app.ComboEdit(ids::kCombo1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L".jpg"));
  CheckMainWindowTexts(ctx, app, dpi);

  ctx.SetScope("About box");
  PostMessageW(app.window(), WM_COMMAND, MAKEWPARAM(ids::kVersion, 0), 0);
  HWND about = nullptr;
  E2E_REQUIRE(WaitUntil([&] { return (about = FindWindowW(kAboutBoxClass, nullptr)) != nullptr && IsWindowVisible(about); }));
  DWORD_PTR ignored = 0;  // until the box has laid itself out and is idle
  SendMessageTimeoutW(about, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
  {
    UiFontDc font(dpi);
    for (const TextPlace& place : kAboutBoxTexts) CheckText(ctx, font, GetDlgItem(about, place.id), place, dpi, nullptr);
  }
  ctx.SetScope("");
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(kAboutOk, BN_CLICKED), 0);
  E2E_CHECK(WaitUntil([&] { return !IsWindow(about); }));

  ctx.SetScope("download window");
  E2E_REQUIRE(app.ExpandNumbers(u"http://127.0.0.1:9/x", 1, u".jpg").empty());
  E2E_CHECK(app.Command(ids::kFileDownload).empty());
  HWND download = nullptr;
  E2E_REQUIRE(WaitUntil([&] { return (download = FindWindowW(ids::kDownloadWindowClass, nullptr)) != nullptr && IsWindowVisible(download); }));
  for (const auto& [id, text] : {std::pair{ids::kDlFolder, L"C:\\dl"}, std::pair{ids::kDlRefererUrl, L"http://example.com/"},
                                 std::pair{ids::kDlCookies, L"C:\\cookies.txt"}}) {
    SendMessageW(GetDlgItem(download, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  {
    UiFontDc font(dpi);
    for (const TextPlace& place : kDownloadWindowTexts) CheckText(ctx, font, GetDlgItem(download, place.id), place, dpi, nullptr);
  }
  ctx.SetScope("");
  PostMessageW(download, WM_CLOSE, 0, 0);
  E2E_CHECK(WaitUntil([&] { return !IsWindow(download); }));

  const int other = dpi == 144 ? 96 : 144;
  E2E_REQUIRE(SendDpiChanged(app.process(), app.window(), other, SuggestedDpiRect(app.window(), dpi, other)));
  CheckMainWindowTexts(ctx, app, other);
  CheckStateColumn(ctx, app, other);
}

}  // namespace velnor::e2e
