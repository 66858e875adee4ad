#pragma once
// The download window "ダウンロード - Velnor": modeless, owned by the main window, one at a
// time. It holds the download job of the items it was opened with, runs it on WinHTTP and
// shows its items in a virtual list view. The main window reaches it through these calls only.
#include <windows.h>

#include "ui/program.h"

namespace velnor {

// The command "一覧をダウンロード": while a job runs, brings the window to the front and
// changes nothing. Otherwise takes urllist's items by the Copy button's rule (an empty list
// gives the copy commands' message) and opens the window, or gives them to the open one.
// A new window is laid out at the main window's DPI (dpi).
void OpenDownloadWindow(HWND owner, int dpi, Program& program);

// The main window is about to close. While a job runs, asks whether to stop it: はい stops it
// (its parts stay for a later resume) and gives true, いいえ gives false and changes nothing.
// The answer applies to the job running when it is given: none (it ended, or its window was
// closed meanwhile) gives true. True at once when no job runs.
bool MayCloseWhileDownloading(HWND owner);

// The Windows session ends: a running job stops without a question.
void StopDownloadForSessionEnd();

// The download window's dialog keys (Tab, access keys, Enter, Esc) for a message of the
// message loop; true when the message was used. Its keys never reach the main window's
// accelerators.
bool DownloadWindowMessage(MSG& msg);

}  // namespace velnor
