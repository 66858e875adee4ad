#pragma once
// The download window's controls and where they go: rows from top to bottom in the order of
// the Tab key, each as wide as its text in the window's font at its DPI, the folder field, the
// progress bar, the status line and the list taking the room the window is given.
#include <windows.h>
#include <commctrl.h>

#include "win32/control_ids.h"

namespace velnor {

struct DownloadControlSpec {
  int id;
  const wchar_t* windowClass;
  const wchar_t* text;
  DWORD style;  // beyond WS_CHILD | WS_VISIBLE
  DWORD exStyle;
};

// In the order of the Tab key; a label comes just before the field its access key reaches.
inline const DownloadControlSpec kDownloadControls[] = {
    {ids::kDlFolderLabel, L"STATIC", L"保存先(&F):", SS_LEFT, 0},
    {ids::kDlFolder, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {ids::kDlBrowse, L"BUTTON", L"参照(&B)...", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {ids::kDlConnectionsLabel, L"STATIC", L"同時接続数(&N):", SS_LEFT, 0},
    {ids::kDlConnections, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {ids::kDlStopMissing, L"BUTTON", L"見つからない番号が5件続いたら止める(&M)", WS_TABSTOP | BS_AUTOCHECKBOX, 0},
    {ids::kDlReferer, L"BUTTON", L"Referer を送る(&R)", WS_TABSTOP | BS_AUTOCHECKBOX, 0},
    {ids::kDlRefererUrlLabel, L"STATIC", L"Referer の URL(&U):", SS_LEFT, 0},
    {ids::kDlRefererUrl, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {ids::kDlCookiesLabel, L"STATIC", L"クッキー (cookies.txt)(&K):", SS_LEFT, 0},
    {ids::kDlCookies, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {ids::kDlCookiesBrowse, L"BUTTON", L"選ぶ(&L)...", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {ids::kDlStart, L"BUTTON", L"開始(&S)", WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    {ids::kDlAbort, L"BUTTON", L"中止(&A)", WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, 0},
    {ids::kDlOpenFolder, L"BUTTON", L"フォルダを開く(&O)", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {ids::kDlClose, L"BUTTON", L"閉じる(&C)", WS_TABSTOP | BS_PUSHBUTTON, 0},
    {ids::kDlProgress, PROGRESS_CLASSW, L"", 0, 0},
    {ids::kDlStatus, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    {ids::kDlList, WC_LISTVIEWW, L"",
     WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, WS_EX_CLIENTEDGE},
};

// The client size the window opens at, or (least) the smallest it can be made.
SIZE DownloadWindowSize(HWND window, HFONT font, int dpi, bool least = false);

// Places every control in the window's client area as it is now.
void LayOutDownloadWindow(HWND window, HFONT font, int dpi);

// The list's columns ファイル名, 状態, サイズ, URL at the DPI; and their widths (as the user
// left them) carried over to a new DPI.
void AddDownloadListColumns(HWND list, int dpi);
void ScaleDownloadListColumns(HWND list, int oldDpi, int newDpi);

}  // namespace velnor
