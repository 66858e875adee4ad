#include "win32/download_layout.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "download/download_texts.h"
#include "win32/win32_dpi.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

struct Placement {
  int id;
  RECT place;
};

// Layout units (1/1440 inch) that do not follow the text.
constexpr int kMargin = 120, kGap = 90, kPadding = 300, kButtonLeast = 1215, kFieldLeast = 2400;
constexpr int kComboWidth = 900, kProgressHeight = 255, kListLeast = 1200;
constexpr int kOpenWidth = 9600, kOpenHeight = 7200;
constexpr int kComboDropRows = 6;

struct Column {
  const wchar_t* title;
  int width;  // layout units
  int format;
};
const Column kColumns[] = {
    {L"ファイル名", 2700, LVCFMT_LEFT},
    {L"状態", 2100, LVCFMT_LEFT},
    {L"サイズ", 1200, LVCFMT_RIGHT},
    {L"URL", 5400, LVCFMT_LEFT},
};
constexpr int kStateColumn = 1;
// A cell's text is inset on both sides (about six pixels at 96 dpi each), with a little to spare.
constexpr int kCellPadding = 240;

// Lays the rows out in a client area of the given width and height; returns the smallest
// client size that shows every control whole.
class Layout {
 public:
  Layout(HWND window, HFONT font, int dpi) : dpi_(dpi) {
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    line_ = metrics.tmHeight;
    for (const DownloadControlSpec& c : kDownloadControls) {
      std::wstring text = c.text;
      std::erase(text, L'&');
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      widths_.push_back({c.id, size.cx});
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    field_ = std::max(Px(345), line_ + Px(120));
    button_ = std::max(Px(375), line_ + Px(150));
    check_ = std::max(Px(285), line_ + Px(60));
  }

  SIZE Place(int width, int height, std::vector<Placement>& out) const {
    const int m = Px(kMargin), gap = Px(kGap);
    const int labels = std::max({Text(ids::kDlFolderLabel), Text(ids::kDlConnectionsLabel),
                                 Text(ids::kDlRefererUrlLabel), Text(ids::kDlCookiesLabel)}) + Px(45);
    const int fieldX = m + labels + gap;
    const int browse = ButtonWidth(ids::kDlBrowse);
    int y = m;
    int least = fieldX + Px(kFieldLeast) + gap + browse + m;

    const int row = std::max(field_, button_);
    Put(out, ids::kDlFolderLabel, m, y + (row - line_) / 2, labels, line_);
    Put(out, ids::kDlFolder, fieldX, y + (row - field_) / 2, width - m - browse - gap - fieldX, field_);
    Put(out, ids::kDlBrowse, width - m - browse, y + (row - button_) / 2, browse, button_);
    y += row + gap;
    Put(out, ids::kDlConnectionsLabel, m, y + (field_ - line_) / 2, labels, line_);
    // A drop-down list's window reaches over its list; the closed box follows the font.
    Put(out, ids::kDlConnections, fieldX, y, std::max(Px(kComboWidth), line_ * 3), field_ * kComboDropRows);
    y += field_ + gap;
    const int box = SystemMetricForDpi(SM_CXMENUCHECK, dpi_) + Px(150);
    for (int id : {ids::kDlStopMissing, ids::kDlReferer}) {
      Put(out, id, m, y, Text(id) + box, check_);
      least = std::max(least, m + Text(id) + box + m);
      y += check_ + gap / 2;
    }
    // The Referer page across the width; the cookie file with its 選ぶ button as the folder has.
    Put(out, ids::kDlRefererUrlLabel, m, y + (row - line_) / 2, labels, line_);
    Put(out, ids::kDlRefererUrl, fieldX, y + (row - field_) / 2, width - m - fieldX, field_);
    y += row + gap;
    const int choose = ButtonWidth(ids::kDlCookiesBrowse);
    Put(out, ids::kDlCookiesLabel, m, y + (row - line_) / 2, labels, line_);
    Put(out, ids::kDlCookies, fieldX, y + (row - field_) / 2, width - m - choose - gap - fieldX, field_);
    Put(out, ids::kDlCookiesBrowse, width - m - choose, y + (row - button_) / 2, choose, button_);
    least = std::max(least, fieldX + Px(kFieldLeast) + gap + choose + m);
    y += row + gap;
    y += gap / 2;
    int x = m;
    for (int id : {ids::kDlStart, ids::kDlAbort, ids::kDlOpenFolder, ids::kDlClose}) {
      Put(out, id, x, y, ButtonWidth(id), button_);
      x += ButtonWidth(id) + gap;
    }
    least = std::max(least, x - gap + m);
    y += button_ + gap;
    Put(out, ids::kDlProgress, m, y, width - 2 * m, Px(kProgressHeight));
    y += Px(kProgressHeight) + gap;
    Put(out, ids::kDlStatus, m, y, width - 2 * m, line_ + Px(30));
    y += line_ + Px(30) + gap;
    Put(out, ids::kDlList, m, y, width - 2 * m, std::max(height - m - y, Px(kListLeast)));
    return {least, y + Px(kListLeast) + m};
  }

 private:
  int Px(int twips) const { return TwipsToPixels(twips, dpi_); }
  int Text(int id) const {
    for (const auto& [control, width] : widths_) {
      if (control == id) return width;
    }
    return 0;
  }
  int ButtonWidth(int id) const { return std::max(Px(kButtonLeast), Text(id) + Px(kPadding)); }
  static void Put(std::vector<Placement>& out, int id, int x, int y, int width, int height) {
    out.push_back({id, {x, y, x + std::max(width, 0), y + std::max(height, 0)}});
  }

  int dpi_;
  int line_ = 0, field_ = 0, button_ = 0, check_ = 0;
  std::vector<std::pair<int, int>> widths_;  // (id, width of its text)
};

}  // namespace

SIZE DownloadWindowSize(HWND window, HFONT font, int dpi, bool least) {
  std::vector<Placement> ignored;
  const SIZE smallest = Layout(window, font, dpi).Place(0, 0, ignored);
  if (least) return smallest;
  return {std::max<LONG>(smallest.cx, TwipsToPixels(kOpenWidth, dpi)),
          std::max<LONG>(smallest.cy, TwipsToPixels(kOpenHeight, dpi))};
}

void LayOutDownloadWindow(HWND window, HFONT font, int dpi) {
  RECT client{};
  GetClientRect(window, &client);
  std::vector<Placement> places;
  Layout(window, font, dpi).Place(client.right, client.bottom, places);
  HDWP batch = BeginDeferWindowPos(static_cast<int>(places.size()));
  for (const Placement& p : places) {
    const HWND control = GetDlgItem(window, p.id);
    if (!control || !batch) continue;
    batch = DeferWindowPos(batch, control, nullptr, p.place.left, p.place.top, p.place.right - p.place.left,
                           p.place.bottom - p.place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (batch) EndDeferWindowPos(batch);
}

namespace {

// The state column shows its widest text whole, in the list's font at the DPI.
int StateColumnWidth(HWND list, int dpi) {
  int widest = 0;
  for (const String& text : StateColumnTexts()) widest = std::max(widest, ListView_GetStringWidth(list, Wide(text)));
  return std::max(TwipsToPixels(kColumns[kStateColumn].width, dpi), widest + TwipsToPixels(kCellPadding, dpi));
}

}  // namespace

void AddDownloadListColumns(HWND list, int dpi) {
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = kColumns[i].format;
    column.cx = i == kStateColumn ? StateColumnWidth(list, dpi) : TwipsToPixels(kColumns[i].width, dpi);
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    ListView_InsertColumn(list, i, &column);
  }
}

void ScaleDownloadListColumns(HWND list, int oldDpi, int newDpi) {
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    ListView_SetColumnWidth(list, i, MulDiv(ListView_GetColumnWidth(list, i), newDpi, oldDpi));
  }
}

}  // namespace velnor
