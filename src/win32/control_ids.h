#pragma once
// Ids of the main window's controls and menu commands, and the window's class name: shared by
// the program and by the end-to-end test driver that finds the controls by them. Plain
// constants, so that neither side needs windows.h to read them.

namespace velnor::ids {

// Window class of the main window Form1.
inline constexpr wchar_t kMainWindowClass[] = L"VelnorForm1";

// Controls. Ids 1 and 2 stay free: the dialog manager sends them (IDOK, IDCANCEL) for Enter
// and Esc, which press no button in this window.
enum Control : int {
  kUrltxt = 100,
  kCheck1 = 101,
  kText1 = 102,
  kCheck2 = 103,
  kText2 = 104,     // work field beyond the client area, never visible
  kCopy = 105,
  kCheckund = 106,
  kUrllist = 107,
  kRenban = 110,
  kOption0 = 111,
  kOption1 = 112,
  kCombo1 = 113,
  kList1 = 114,
  kLabel1 = 115,
  kCombo2 = 116,
  kCheck3 = 117,
  kCombo3 = 118,
};

// Menu commands.
enum Command : int {
  kFileSecSave = 200,  // File_sec_save
  kFileAllSave = 201,  // File_all_save, Ctrl+C
  kFileEnd = 202,      // File_end, Ctrl+X
  kFileSaveList = 203, // urllist to a text file, Ctrl+S
  kFileDownload = 204, // the download window for urllist's items, Ctrl+J
  kHelpSub = 210,      // helpsub
  kVersion = 211,      // version
  kEditSplitUrl = 220,   // the URL in urltxt into the fields, Ctrl+D
  kEditAutoSplit = 221,  // check item: split every copied URL at once
  kEditFindSeries = 222,  // ask the server where the series in the fields ends, Ctrl+F
  kEditAutoFind = 223,    // check item: search after every copied URL that splits
  kEditCopyHttps = 224,   // check item: take copied https:// URLs too
};

// The download window: its class and, in the order of the Tab key, its controls.
inline constexpr wchar_t kDownloadWindowClass[] = L"VelnorDownload";
enum DownloadControl : int {
  kDlFolderLabel = 300,
  kDlFolder = 301,
  kDlBrowse = 302,
  kDlConnectionsLabel = 303,
  kDlConnections = 304,
  kDlStopMissing = 305,
  kDlReferer = 306,
  kDlStart = 307,
  kDlAbort = 308,
  kDlOpenFolder = 309,
  kDlClose = 310,
  kDlProgress = 311,
  kDlStatus = 312,
  kDlList = 313,
  // Below 「Referer を送る」, before 開始 in the Tab order.
  kDlRefererUrlLabel = 314,
  kDlRefererUrl = 315,
  kDlCookiesLabel = 316,
  kDlCookies = 317,
  kDlCookiesBrowse = 318,
};

// The window of 「続きを探す」: its class and controls.
inline constexpr wchar_t kSearchWindowClass[] = L"VelnorSeriesSearch";
enum SearchControl : int {
  kFsAbort = 2,  // 中止: IDCANCEL, so that Esc presses it too
  kFsFound = 401,
  kFsAsked = 402,
  kFsProgress = 403,
};

// The icon in the program's resources.
inline constexpr int kAppIcon = 1;

}  // namespace velnor::ids
