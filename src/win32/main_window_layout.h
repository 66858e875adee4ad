#pragma once
// The main window's controls as laid out: each one's class, style, place and size in 1/1440
// inch; and what fits a control to the font and keeps a list's scroll across a new DPI.
#include <windows.h>

#include "win32/control_ids.h"

namespace velnor {

enum class ControlKind { kEdit, kButton, kCheck, kOption, kCombo, kList, kLabel };

// One control of the window: place and size in 1/1440 inch from the client area's top-left.
struct ControlLayout {
  int id;
  ControlKind kind;
  const wchar_t* caption;
  DWORD style;  // beyond WS_CHILD and the kind's own style
  int left, top, width, height;
};

constexpr DWORD kVisibleStop = WS_VISIBLE | WS_TABSTOP;

// In the order of the Tab key. Text(2) is hidden: the dialog keys skip it. List(1) and
// List(2), places 8 and 9, are not windows at all.
inline const ControlLayout kLayout[] = {
    {ids::kUrltxt, ControlKind::kEdit, L"URL", kVisibleStop, 120, 720, 8295, 270},
    {ids::kCheck1, ControlKind::kCheck, L"", kVisibleStop, 1560, 1080, 255, 375},
    {ids::kText1, ControlKind::kEdit, L"", kVisibleStop, 1800, 1140, 735, 270},
    {ids::kCheck2, ControlKind::kCheck, L"", kVisibleStop, 6360, 1080, 255, 375},
    {ids::kText2, ControlKind::kEdit, L"", WS_TABSTOP, 9000, 720, 615, 270},
    {ids::kCopy, ControlKind::kButton, L"LIST COPY", kVisibleStop, 7320, 120, 1095, 375},
    {ids::kCheckund, ControlKind::kCheck, L" \"_\" ｱﾝﾀﾞｰﾊﾞｰを追加", kVisibleStop, 4320, 1080, 1935, 375},
    {ids::kUrllist, ControlKind::kList, L"",
     kVisibleStop | WS_VSCROLL | WS_HSCROLL | LBS_EXTENDEDSEL, 120, 1520, 8295, 1860},
    {ids::kRenban, ControlKind::kButton, L"連番 展開", kVisibleStop, 6000, 120, 1215, 375},
    // The option group: only the selected button is a tab stop (Win32OptionButton).
    {ids::kOption0, ControlKind::kOption, L"0", kVisibleStop | WS_GROUP, 3360, 1080, 495, 375},
    {ids::kOption1, ControlKind::kOption, L"1", WS_VISIBLE, 3840, 1080, 495, 375},
    {ids::kCombo1, ControlKind::kCombo, L"", kVisibleStop | WS_GROUP, 7560, 1125, 855, 300},
    // List1 draws its samples itself, so that a sample stays whole in its one-line height with
    // a tall font (text_fit.h).
    {ids::kList1, ControlKind::kList, L"", kVisibleStop | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
     120, 200, 5775, 240},
    {ids::kLabel1, ControlKind::kLabel, L"開始No", WS_VISIBLE, 2685, 1185, 615, 255},
    {ids::kCombo2, ControlKind::kCombo, L"", kVisibleStop, 480, 1125, 975, 300},
    {ids::kCheck3, ControlKind::kCheck, L"Check3", kVisibleStop, 200, 1140, 255, 255},
    {ids::kCombo3, ControlKind::kCombo, L"", kVisibleStop, 6720, 1125, 735, 300},
};

// Line1: a rule under the buttons, in system colour 11.
constexpr int kLine1Left = 120, kLine1Right = 8400, kLine1Top = 600;

// The two pattern samples of List1.
inline const wchar_t* const kSamples[] = {L"http://～～～/xxx_yyy+.拡張子", L"http://～～～/xxx+.拡張子"};

const wchar_t* ClassName(ControlKind kind);
DWORD KindStyle(ControlKind kind);
DWORD KindExStyle(ControlKind kind);

// Gives a control the font and fits its text and, for a combo box, its field to it: at
// creation and again at each new DPI, once the control has its place.
void SetControlFont(HWND control, const ControlLayout& c, HFONT font, int dpi);

// The height a control's window is given in pixels: a combo box's includes its drop-down list.
int WindowHeight(const ControlLayout& c, int dpi);

// A list box's scroll state, which a new font or size must not change.
struct ListScroll {
  int top;
  int caret;
  int horizontal;  // pixels
};

ListScroll ReadListScroll(HWND list);

// Puts the scroll state back; the horizontal position keeps its place in the text, in pixels
// of the new DPI. (A list of single selection keeps its caret on the selected item itself.)
void RestoreListScroll(HWND list, const ListScroll& scroll, int oldDpi, int newDpi);

}  // namespace velnor
