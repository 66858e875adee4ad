// A plain Win32 window with the same menu and controls as Velnor's main window and no logic:
// what start-up time is measured against.
#include <windows.h>
#include <commctrl.h>

#include <iterator>

namespace {

struct Child {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
  const wchar_t* text;
  int left, top, width, height;  // 1/1440 inch
};

const Child kChildren[] = {
    {L"Edit", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"URL", 120, 720, 8295, 270},
    {L"Button", WS_VISIBLE | WS_TABSTOP | BS_3STATE, 0, L"", 1560, 1080, 255, 375},
    {L"Edit", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"", 1800, 1140, 735, 270},
    {L"Button", WS_VISIBLE | WS_TABSTOP | BS_3STATE, 0, L"", 6360, 1080, 255, 375},
    {L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"", 9000, 720, 615, 270},
    {L"Button", WS_VISIBLE | WS_TABSTOP, 0, L"LIST COPY", 7320, 120, 1095, 375},
    {L"Button", WS_VISIBLE | WS_TABSTOP | BS_3STATE, 0, L" \"_\" ｱﾝﾀﾞｰﾊﾞｰを追加", 4320, 1080, 1935, 375},
    {L"ListBox", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, L"", 120, 1520, 8295, 1860},
    {L"Button", WS_VISIBLE | WS_TABSTOP, 0, L"連番 展開", 6000, 120, 1215, 375},
    {L"Button", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON, 0, L"0", 3360, 1080, 495, 375},
    {L"Button", WS_VISIBLE | BS_RADIOBUTTON, 0, L"1", 3840, 1080, 495, 375},
    {L"ComboBox", WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN, 0, L"", 7560, 1125, 855, 3900},
    {L"ListBox", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, L"",
     120, 200, 5775, 240},
    {L"Static", WS_VISIBLE, 0, L"開始No", 2685, 1185, 615, 255},
    {L"ComboBox", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 0, L"", 480, 1125, 975, 3900},
    {L"Button", WS_VISIBLE | WS_TABSTOP | BS_3STATE, 0, L"Check3", 200, 1140, 255, 255},
    {L"ComboBox", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 0, L"", 6720, 1125, 735, 3900},
};

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  SetProcessDPIAware();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);

  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"VelnorMinimalWindow";
  RegisterClassW(&wc);

  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 200, L"選択された項目をコピー");
  AppendMenuW(file, MF_STRING, 201, L"全ての項目をコピー(&C)\tCtrl+C");
  AppendMenuW(file, MF_STRING, 203, L"一覧をファイルに保存(&S)...\tCtrl+S");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, 202, L"終了(&X)\tCtrl+X");
  HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, 210, L"ヘルプ(&H)");
  AppendMenuW(help, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(help, MF_STRING, 211, L"バージョン情報(&A)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ファイル(&F)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"ヘルプ(&H)");

  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Velnor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              CW_USEDEFAULT, CW_USEDEFAULT, MulDiv(8625, dpi, 1440), MulDiv(4320, dpi, 1440),
                              nullptr, bar, instance, nullptr);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  int id = 100;
  for (const Child& c : kChildren) {
    HWND child = CreateWindowExW(c.exStyle, c.cls, c.text, WS_CHILD | c.style, MulDiv(c.left, dpi, 1440),
                                 MulDiv(c.top, dpi, 1440), MulDiv(c.width, dpi, 1440), MulDiv(c.height, dpi, 1440),
                                 hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(font);
  return 0;
}
