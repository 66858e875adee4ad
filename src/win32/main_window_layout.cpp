#include "win32/main_window_layout.h"

#include "win32/text_fit.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

// Rows the drop-down list of a combo box shows.
constexpr int kComboDropRows = 12;

// A combo box's window is as high as its selection field; the field follows the font. Set
// the field so that the closed box is exactly as high as laid out. What CB_GETITEMHEIGHT
// reports for the field is not what CB_SETITEMHEIGHT takes on every system, so the height is
// measured after each setting and the field corrected by the difference.
void FitComboHeight(HWND combo, int height) {
  auto field = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  for (int attempt = 0; attempt < 4 && field > 0; ++attempt) {
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    RECT r{};
    GetWindowRect(combo, &r);
    const int delta = height - static_cast<int>(r.bottom - r.top);
    if (delta == 0) return;
    field += delta;
  }
}

}  // namespace

const wchar_t* ClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit: return L"Edit";
    case ControlKind::kCombo: return L"ComboBox";
    case ControlKind::kList: return L"ListBox";
    case ControlKind::kLabel: return L"Static";
    default: return L"Button";
  }
}

DWORD KindStyle(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit: return ES_AUTOHSCROLL;
    case ControlKind::kButton: return BS_PUSHBUTTON;
    case ControlKind::kCheck: return BS_3STATE;
    case ControlKind::kOption: return BS_RADIOBUTTON;
    case ControlKind::kCombo: return CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
    case ControlKind::kList: return LBS_NOINTEGRALHEIGHT;
    case ControlKind::kLabel: return SS_LEFT | SS_NOPREFIX;
  }
  return 0;
}

DWORD KindExStyle(ControlKind kind) {
  return (kind == ControlKind::kEdit || kind == ControlKind::kList) ? WS_EX_CLIENTEDGE : 0;
}

void SetControlFont(HWND control, const ControlLayout& c, HFONT font, int dpi) {
  // A child control does not take the window's font by itself.
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  FitTextToControl(control, font, dpi);
  if (c.kind == ControlKind::kCombo) {
    FitComboHeight(control, TwipsToPixels(c.height, dpi));
    FitComboEdit(control, font);
  }
}

int WindowHeight(const ControlLayout& c, int dpi) {
  const int height = TwipsToPixels(c.height, dpi);
  return c.kind == ControlKind::kCombo ? height * (kComboDropRows + 1) : height;
}

ListScroll ReadListScroll(HWND list) {
  return {static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)),
          static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0)), GetScrollPos(list, SB_HORZ)};
}

void RestoreListScroll(HWND list, const ListScroll& scroll, int oldDpi, int newDpi) {
  const bool multiple = (GetWindowLongPtrW(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
  if (multiple && scroll.caret >= 0) SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(scroll.caret), FALSE);
  SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(scroll.top), 0);
  const int horizontal = MulDiv(scroll.horizontal, newDpi, oldDpi);
  if (horizontal > 0 && horizontal <= 0xFFFF) {
    SendMessageW(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, horizontal), 0);
  }
}

}  // namespace velnor
