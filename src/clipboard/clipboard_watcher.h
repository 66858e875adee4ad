#pragma once
// The clipboard watcher: while it is installed the main window sits in the clipboard-viewer
// chain and takes text beginning with "http://", copied anywhere, into urltxt.
#include <cstdint>

#include "ui/program.h"

namespace velnor {

// Joins the chain first and replaces the window procedure second, so the notice that joining
// sends at once reaches the window's own procedure and the clipboard's current text is not
// taken. Always paired with RemoveClipboardWatcher.
void InstallClipboardWatcher(Program& program);

// Leaves the chain, then puts the window procedure back. A read still waiting for a held
// clipboard is given up.
void RemoveClipboardWatcher(Program& program);

// What the watcher does with a message of the main window before the previous procedure gets
// it: takes a copied URL on WM_DRAWCLIPBOARD and keeps the chain going on both notices; the
// retry timer's WM_TIMER goes to OnClipboardRetryTimer.
//
// A notice opens the clipboard once and never waits for it. When another program holds it,
// the notice still goes down the chain and to the previous procedure at once, and the read
// is tried again from the retry timer, every kClipboardReadRetryMilliseconds, at most
// kClipboardReadRetries times; a newer notice replaces a retry still pending.
void HandleClipboardNotice(Program& program, unsigned message, uintptr_t wParam, intptr_t lParam);

// The retry timer went off: reads the clipboard again and takes a URL as the notice would
// have; stops the timer when the read went through or no retry is left.
void OnClipboardRetryTimer(Program& program);

// The watcher's window procedure for every message of the main window: the notice handling,
// then the procedure it replaced, whose result it returns.
intptr_t ClipboardWindowProc(Program& program, unsigned message, uintptr_t wParam,
                             intptr_t lParam);

// Makes a URL that the watcher took from the clipboard the whole text of urltxt, or, with the
// automatic split on, splits it into the fields when it can. Every way the watcher takes a
// URL goes through here.
void PutCopiedUrl(Program& program, const String& url);

// True for a text that begins with "http://", exactly (case-sensitive, 7 characters at least),
// or, when https is on (the Edit menu's check item), with "https://" in the same way.
bool IsCopiedUrl(StringView text, bool https = false);

}  // namespace velnor
