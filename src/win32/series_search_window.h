#pragma once
// The window of 「続きを探す」 (Ctrl+F, and after a copied URL that splits): modal, owned by
// the main window, it runs the search on WinHTTP and shows how far it has found the series,
// how many URLs the server has answered and a marquee bar, with 中止 (Esc and the close box
// too).
#include <windows.h>

#include "ui/program.h"

namespace velnor {

// The command: checks, the search in its window, then the fields and the list. A request
// while a search runs is kept and runs after it (one at most).
void FindSeries(HWND owner, Program& program);

// The main window closes or the Windows session ends: a running search stops at once,
// without a question, and the command leaves the fields and the list as they are.
void StopSeriesSearch();

}  // namespace velnor
