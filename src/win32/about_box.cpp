#include "win32/about_box.h"

#include "app/main_window_frame.h"
#include "win32/control_ids.h"
#include "win32/res/version.h"
#include "win32/win32_platform.h"
#include "win32/win32_text.h"

namespace velnor {
namespace {

// Positions and sizes in 1/1440 inch, converted at the screen's real DPI.
struct TwipsRect {
  int left, top, width, height;
};

constexpr int kClientWidth = 4575;
constexpr int kClientHeight = 1560;
constexpr TwipsRect kPicture1{120, 120, 780, 780};
constexpr TwipsRect kLabel1{1050, 120, 2535, 255};
constexpr TwipsRect kLabel2{3480, 120, 1095, 255};
constexpr TwipsRect kLabel3{2040, 480, 2535, 255};
constexpr TwipsRect kCmdOK{3360, 1080, 1095, 375};
constexpr int kLine1Left = 120, kLine1Right = 4440, kLine1Y = 960;
constexpr int kIconPixelsAt96Dpi = 48;

constexpr wchar_t kProductLine[] = L"Velnor URL連番展開ツール";
constexpr wchar_t kVersionLine[] = L"Version " VELNOR_VERSION_WTEXT;
// The holder and year of the version record's copyright entry, short enough for Label3.
constexpr wchar_t kCopyrightLine[] = L"© 2026 Velnor Project";
const String kCaptionSuffix = u" - バージョン情報";

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// Everything one open About box owns; there is at most one at a time.
struct AboutBox {
  HWND window = nullptr;
  HWND owner = nullptr;
  int dpi = 96;
  HFONT font = nullptr;
  HICON icon = nullptr;
};
AboutBox* current = nullptr;

HFONT CreateUiFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

HWND AddControl(AboutBox& box, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                int id, const TwipsRect& r) {
  const HWND control = CreateWindowExW(
      0, windowClass, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, TwipsToPixels(r.left, box.dpi),
      TwipsToPixels(r.top, box.dpi), TwipsToPixels(r.width, box.dpi), TwipsToPixels(r.height, box.dpi), box.window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(box.font), FALSE);
  return control;
}

// The load: controls in focus order (cmdOK first), then top-most and the caption, all before
// the box is shown.
void LoadAboutBox(AboutBox& box) {
  box.font = CreateUiFont();
  const HWND ok = AddControl(box, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, kAboutOk, kCmdOK);
  const HWND picture = AddControl(box, L"STATIC", nullptr, SS_ICON | SS_CENTERIMAGE, kAboutPicture, kPicture1);
  AddControl(box, L"STATIC", kProductLine, SS_LEFT | SS_NOPREFIX, kAboutProductLine, kLabel1);
  AddControl(box, L"STATIC", kVersionLine, SS_LEFT | SS_NOPREFIX, kAboutVersion, kLabel2);
  AddControl(box, L"STATIC", kCopyrightLine, SS_LEFT | SS_NOPREFIX, kAboutCopyright, kLabel3);
  // Label1 reaches under Label2; with Label2 above it and siblings clipped, Label1's
  // background does not paint over the start of the version.
  SetWindowPos(GetDlgItem(box.window, kAboutVersion), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(ok, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  const int iconSize = MulDiv(kIconPixelsAt96Dpi, box.dpi, 96);
  box.icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids::kAppIcon),
                                           IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR));
  if (box.icon && picture) SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(box.icon), 0);

  SetWindowPos(box.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowTextW(box.window, Wide(kApplicationTitle + kCaptionSuffix));
}

void PaintLine1(const AboutBox& box, HDC dc) {
  const HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));  // system colour 16
  const HGDIOBJ old = SelectObject(dc, pen);
  const int y = TwipsToPixels(kLine1Y, box.dpi);
  MoveToEx(dc, TwipsToPixels(kLine1Left, box.dpi), y, nullptr);
  LineTo(dc, TwipsToPixels(kLine1Right, box.dpi) + 1, y);  // both end points drawn
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

bool RegisterAboutBoxClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kAboutBoxClass, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = AboutBoxProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kAboutBoxClass;
  return RegisterClassExW(&wc) != 0;
}

// The outer rectangle for the client area, centred over the owner and kept on its monitor.
RECT PlaceOverOwner(HWND owner, int dpi) {
  RECT frame{0, 0, TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
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

void ShowAboutBox(HWND owner) {
  if (current) {  // already open: a second request only brings it forward
    SetForegroundWindow(current->window);
    return;
  }
  if (!RegisterAboutBoxClass()) return;

  AboutBox box;
  box.owner = owner;
  box.dpi = ScreenDpiX();
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
