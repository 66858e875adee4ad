#include "win32/text_fit.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace velnor {
namespace {

TEXTMETRICW MetricsOf(HWND window, HFONT font) {
  TEXTMETRICW tm{};
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return tm;
}

// A sunken client edge is two pixels deep, but the visual styles of Windows and Wine draw it
// as a one-pixel line: an edit that keeps one pixel of it on top and below gains two pixels
// of height for its line and looks the same.
LRESULT CALLBACK ThinEdgeProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message != WM_NCCALCSIZE || !wParam) return DefSubclassProc(edit, message, wParam, lParam);
  RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0];
  const RECT outer = client;
  const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
  if (client.top - outer.top > 1 && outer.bottom - client.bottom > 1) {
    client.top = outer.top + 1;
    client.bottom = outer.bottom - 1;
  }
  return result;
}

}  // namespace

void FitTextToControl(HWND control, HFONT font, int dpi) {
  if (!control) return;
  wchar_t className[16] = {};
  GetClassNameW(control, className, 16);
  const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  if (lstrcmpiW(className, L"ListBox") == 0 && (style & LBS_OWNERDRAWFIXED) != 0) {
    SendMessageW(control, LB_SETITEMHEIGHT, 0, MAKELPARAM(MetricsOf(control, font).tmHeight, 0));
    return;
  }
  if (lstrcmpiW(className, L"Edit") == 0 && (GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
    // Only where the line is higher than what the full edge (two pixels above and below) leaves.
    RECT outer{};
    GetWindowRect(control, &outer);
    const int edges = 2 * GetSystemMetrics(SM_CYEDGE);
    const bool thin = MetricsOf(control, font).tmHeight > outer.bottom - outer.top - edges;
    if (thin) SetWindowSubclass(control, ThinEdgeProc, 1, 0);
    else RemoveWindowSubclass(control, ThinEdgeProc, 1);
    SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const LONG_PTR kind = style & BS_TYPEMASK;
  if (lstrcmpiW(className, L"Button") != 0 || (kind != BS_3STATE && kind != BS_AUTOCHECKBOX && kind != BS_CHECKBOX)) {
    return;
  }
  wchar_t caption[64] = {};
  const int length = GetWindowTextW(control, caption, 64);
  if (length == 0 || caption[0] != L' ') return;
  // The box is 12 pixels at 96 dpi and one more; the caption starts half a digit after it.
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE text{};
  GetTextExtentPoint32W(dc, caption, length, &text);
  SIZE digit{};
  GetTextExtentPoint32W(dc, L"0", 1, &digit);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  RECT client{};
  GetClientRect(control, &client);
  const bool fits = MulDiv(12, dpi, 96) + 1 + digit.cx / 2 + text.cx <= client.right;
  const LONG_PTR aligned = (style & ~static_cast<LONG_PTR>(BS_CENTER)) | (fits ? 0 : BS_RIGHT);
  if (aligned != style) {
    SetWindowLongPtrW(control, GWL_STYLE, aligned);
    InvalidateRect(control, nullptr, TRUE);
  }
}

void FitComboEdit(HWND combo, HFONT font) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(combo, &info) || !info.hwndItem) return;
  RECT edit{};
  GetWindowRect(info.hwndItem, &edit);
  MapWindowPoints(nullptr, combo, reinterpret_cast<POINT*>(&edit), 2);
  RECT client{};
  GetClientRect(combo, &client);
  const int line = MetricsOf(combo, font).tmHeight;
  // The combo box's own border is what stays around the edit.
  const int edge = GetSystemMetrics(SM_CYEDGE);
  if (line <= edit.bottom - edit.top || edit.top - 1 < edge || edit.bottom + 1 > client.bottom - edge) return;
  SetWindowPos(info.hwndItem, nullptr, edit.left, edit.top - 1, edit.right - edit.left, edit.bottom - edit.top + 2,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void MeasureOwnerDrawnItem(MEASUREITEMSTRUCT& item, HFONT font) {
  item.itemHeight = static_cast<UINT>(MetricsOf(nullptr, font).tmHeight);
}

void DrawOwnerDrawnItem(const DRAWITEMSTRUCT& item, HFONT font) {
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    const auto length = static_cast<int>(SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0));
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max(length, 0)));

    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT client{};
    GetClientRect(item.hwndItem, &client);
    const int shown = std::min<int>(item.rcItem.bottom - item.rcItem.top, client.bottom - client.top);
    int top = item.rcItem.top;
    if (shown < tm.tmHeight) {
      const int characters = tm.tmHeight - tm.tmInternalLeading;
      top += std::max(0, shown - characters) / 2 - tm.tmInternalLeading;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ExtTextOutW(dc, item.rcItem.left + 1, top, ETO_CLIPPED, &item.rcItem, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
    SelectObject(dc, old);
  }
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &item.rcItem);
}

}  // namespace velnor
