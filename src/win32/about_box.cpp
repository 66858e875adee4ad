#include "win32/about_box.h"

#include "app/main_window_frame.h"
#include "win32/control_ids.h"
#include "win32/res/version.h"
#include "win32/win32_dpi.h"
#include "win32/win32_text.h"
#include "win32/window_class.h"

namespace velnor {
namespace {

// Positions and sizes in 1/1440 inch, converted at the box's DPI.
struct TwipsRect {
  int left, top, width, height;
};

constexpr int kClientWidth = 4575;
constexpr int kClientHeight = 1560;
constexpr int kLine1Left = 120, kLine1Right = 4440, kLine1Y = 960;
constexpr int kIconPixelsAt96Dpi = 48;

constexpr wchar_t kProductLine[] = L"Velnor URL連番展開ツール";
constexpr wchar_t kVersionLine[] = L"Version " VELNOR_VERSION_WTEXT;
// The holder and year of the version record's copyright entry, short enough for Label3.
constexpr wchar_t kCopyrightLine[] = L"© 2026 Velnor Project";
const String kCaptionSuffix = u" - バージョン情報";

// The controls, in focus order (cmdOK first).
struct AboutControl {
  int id;
  DWORD style;
  const wchar_t* windowClass;
  const wchar_t* text;
  TwipsRect place;
};

const AboutControl kControls[] = {
    {kAboutOk, WS_TABSTOP | BS_DEFPUSHBUTTON, L"BUTTON", L"OK", {3360, 1080, 1095, 375}},
    {kAboutPicture, SS_ICON | SS_CENTERIMAGE, L"STATIC", nullptr, {120, 120, 780, 780}},
    // One line each: a text that comes out a little wider than its label at some DPI (fonts
    // do not grow in exact proportion) loses a few pixels at its end rather than its last
    // word to a second line that the label does not show.
    {kAboutProductLine, SS_LEFTNOWORDWRAP | SS_NOPREFIX, L"STATIC", kProductLine, {1050, 120, 2535, 255}},
    {kAboutVersion, SS_LEFTNOWORDWRAP | SS_NOPREFIX, L"STATIC", kVersionLine, {3480, 120, 1095, 255}},
    {kAboutCopyright, SS_LEFTNOWORDWRAP | SS_NOPREFIX, L"STATIC", kCopyrightLine, {2040, 480, 2535, 255}},
};

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Everything one open About box owns; there is at most one at a time.
struct AboutBox {
  HWND window = nullptr;
  HWND owner = nullptr;
  int dpi = 96;  // the owner's when it opens, then as each WM_DPICHANGED brings it
  HFONT font = nullptr;
  HICON icon = nullptr;
};
AboutBox* current = nullptr;

int Px(const AboutBox& box, int twips) { return TwipsToPixels(twips, box.dpi); }

// Font, places and picture at the box's DPI. A font or icon it replaces is deleted once no
// control uses it.
void LayOutAboutBox(AboutBox& box) {
  const HFONT oldFont = box.font;
  box.font = CreateUiFont(box.dpi);
  for (const AboutControl& c : kControls) {
    const HWND control = GetDlgItem(box.window, c.id);
    if (!control) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);
    SetWindowPos(control, nullptr, Px(box, c.place.left), Px(box, c.place.top), Px(box, c.place.width),
                 Px(box, c.place.height), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (oldFont) DeleteObject(oldFont);

  const int iconSize = MulDiv(kIconPixelsAt96Dpi, box.dpi, 96);
  const HICON icon = LoadProgramIcon(iconSize);
  const HWND picture = GetDlgItem(box.window, kAboutPicture);
  if (icon && picture) {
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (box.icon) DestroyIcon(box.icon);
    box.icon = icon;
  } else if (icon) {
    DestroyIcon(icon);
  }
}

// The load: controls in focus order (cmdOK first), then top-most and the caption, all before
// the box is shown.
void LoadAboutBox(AboutBox& box) {
  for (const AboutControl& c : kControls) {
    // Found again by their ids; one that could not be made is left out.
    // cppcheck-suppress ignoredReturnValue
    CreateWindowExW(0, c.windowClass, c.text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | c.style, 0, 0, 0, 0,
                    box.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), GetModuleHandleW(nullptr),
                    nullptr);
  }
  LayOutAboutBox(box);
  // Label1 reaches under Label2; with Label2 above it and siblings clipped, Label1's
  // background does not paint over the start of the version.
  SetWindowPos(GetDlgItem(box.window, kAboutVersion), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(GetDlgItem(box.window, kAboutOk), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  SetWindowPos(box.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowTextW(box.window, Wide(kApplicationTitle + kCaptionSuffix));
}

// Where the frame is not drawn at the box's DPI (Wine draws frames at the system's), the
// client area is set back to its layout size, keeping the top-left corner.
void KeepClientAtLayoutSize(const AboutBox& box) {
  RECT client{};
  RECT outer{};
  GetClientRect(box.window, &client);
  GetWindowRect(box.window, &outer);
  const int widthError = Px(box, kClientWidth) - static_cast<int>(client.right);
  const int heightError = Px(box, kClientHeight) - static_cast<int>(client.bottom);
  if (widthError != 0 || heightError != 0) {
    SetWindowPos(box.window, nullptr, 0, 0, outer.right - outer.left + widthError,
                 outer.bottom - outer.top + heightError, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Moved to a monitor of another DPI: the system's rectangle, then everything inside again.
void ChangeAboutBoxDpi(AboutBox& box, int dpi, const RECT& suggested) {
  box.dpi = dpi;
  SetWindowPos(box.window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  KeepClientAtLayoutSize(box);
  LayOutAboutBox(box);
  RedrawWindow(box.window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void PaintLine1(const AboutBox& box, HDC dc) {
  const HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));  // system colour 16
  const HGDIOBJ old = SelectObject(dc, pen);
  const int y = Px(box, kLine1Y);
  MoveToEx(dc, Px(box, kLine1Left), y, nullptr);
  LineTo(dc, Px(box, kLine1Right) + 1, y);  // both end points drawn
  SelectObject(dc, old);
  DeleteObject(pen);
}

// Gives the input back to the owner before the box goes, so the owner is activated again
// rather than some other program's window.
void EndAboutBox(AboutBox& box) {
  if (box.owner && IsWindow(box.owner)) EnableWindow(box.owner, TRUE);
  DestroyWindow(box.window);
}

LRESULT CALLBACK AboutBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = reinterpret_cast<AboutBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE: {
      box = static_cast<AboutBox*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      box->window = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
      break;
    }
    case WM_CREATE:
      LoadAboutBox(*box);
      return 0;
    case WM_DPICHANGED:
      if (box) ChangeAboutBoxDpi(*box, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_COMMAND:
      // Only cmdOK closes the box; the IDCANCEL that Esc sends is ignored.
      if (LOWORD(wParam) == kAboutOk && box) EndAboutBox(*box);
      return 0;
    case WM_CLOSE:
      if (box) EndAboutBox(*box);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      if (box) PaintLine1(*box, dc);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      if (box) {
        if (box->owner && IsWindow(box->owner)) EnableWindow(box->owner, TRUE);
        if (box->icon) DestroyIcon(box->icon);
        if (box->font) DeleteObject(box->font);
        box->icon = nullptr;
        box->font = nullptr;
        box->window = nullptr;
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterAboutBoxClass() { return EnsureWindowClass(kAboutBoxClass, AboutBoxProc); }

// The outer rectangle for the client area, centred over the owner and kept on its monitor.
RECT PlaceOverOwner(HWND owner, int dpi) {
  RECT frame{0, 0, TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi)};
  AdjustFrameForDpi(frame, kStyle, kExStyle, dpi);  // the frame of the owner's monitor
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;

  RECT around{};
  if (!owner || !GetWindowRect(owner, &around)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;

  int left = around.left + (around.right - around.left - width) / 2;
  int top = around.top + (around.bottom - around.top - height) / 2;
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  return RECT{left, top, left + width, top + height};
}

}  // namespace

void ShowAboutBox(HWND owner, int dpi) {
  if (current) {  // already open: a second request only brings it forward
    SetForegroundWindow(current->window);
    return;
  }
  if (!RegisterAboutBoxClass()) return;

  AboutBox box;
  box.owner = owner;
  // Placed over its owner, so on the owner's monitor: the owner's DPI.
  box.dpi = dpi;
  const RECT place = PlaceOverOwner(owner, box.dpi);
  current = &box;
  // The handle arrives in box.window with WM_NCCREATE; a failure leaves it null.
  // cppcheck-suppress ignoredReturnValue
  CreateWindowExW(kExStyle, kAboutBoxClass, L"", kStyle, place.left, place.top,
                  place.right - place.left, place.bottom - place.top, owner, nullptr,
                  GetModuleHandleW(nullptr), &box);
  if (!box.window) {
    current = nullptr;
    return;
  }

  KeepClientAtLayoutSize(box);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(box.window, SW_SHOWNORMAL);
  SetFocus(GetDlgItem(box.window, kAboutOk));

  // The modal loop: runs until the box is gone, whoever closed it. A quit request ends the
  // loop and is passed on to the loop outside.
  MSG msg;
  while (box.window) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (box.window && IsDialogMessageW(box.window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (box.window) EndAboutBox(box);
  current = nullptr;
}

void CloseAboutBox() {
  if (current && current->window) EndAboutBox(*current);
}

HWND AboutBoxWindow() { return current ? current->window : nullptr; }

}  // namespace velnor
