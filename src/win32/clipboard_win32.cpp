#include "win32/clipboard_win32.h"

#include <cstring>
#include <cwchar>

#include "clipboard/clipboard_watcher.h"
#include "win32/control_ids.h"

namespace velnor {

namespace {

// The window procedure has no other way to reach the program than this.
Win32ClipboardPlatform* g_clipboard = nullptr;

// Another program (under Wine, the X11 clipboard manager) may have the clipboard open for a
// moment: try again a few times before giving up. Only for the copy commands, which the
// user asked for and waits on; the watcher never waits.
bool OpenClipboardPatiently(HWND owner) {
  for (int attempt = 1;; ++attempt) {
    if (OpenClipboard(owner)) return true;
    if (attempt >= kClipboardOpenTries) return false;
    Sleep(kClipboardOpenRetryMilliseconds);
  }
}

// The text of a CF_UNICODETEXT handle, up to its first NUL and never past the memory block,
// whatever the program that put it there wrote.
String TextOf(HANDLE data) {
  String text;
  if (data == nullptr) return text;  // listed, but its owner could not render it
  const auto* chars = static_cast<const wchar_t*>(GlobalLock(data));
  if (chars == nullptr) return text;
  const size_t length = wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t));
  text.resize(length);
  std::memcpy(text.data(), chars, length * sizeof(wchar_t));
  GlobalUnlock(data);
  return text;
}

// A movable memory block holding text and its terminating NUL, as SetClipboardData takes it.
HGLOBAL GlobalText(const String& text) {
  const size_t bytes = text.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes + sizeof(wchar_t));
  if (memory == nullptr) return nullptr;
  auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
  if (chars == nullptr) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(chars, text.data(), bytes);
  chars[text.size()] = L'\0';
  GlobalUnlock(memory);
  return memory;
}

}  // namespace

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");
static_assert(kWmDrawClipboard == WM_DRAWCLIPBOARD && kWmChangeCbChain == WM_CHANGECBCHAIN &&
                  kWmTimer == WM_TIMER,
              "the watcher's messages are Win32's");
static_assert(sizeof(uintptr_t) == sizeof(HWND) && sizeof(uintptr_t) == sizeof(LONG_PTR),
              "handles and procedure addresses are pointer-sized");

Win32ClipboardPlatform::Win32ClipboardPlatform(Program& program, HWND mainWindow)
    : mainWindow_(mainWindow), program_(program) {
  g_clipboard = this;
}

Win32ClipboardPlatform::~Win32ClipboardPlatform() {
  if (g_clipboard == this) g_clipboard = nullptr;
}

uintptr_t Win32ClipboardPlatform::SetClipboardViewer() {
  return reinterpret_cast<uintptr_t>(::SetClipboardViewer(mainWindow_));
}

void Win32ClipboardPlatform::ChangeClipboardChain(uintptr_t next) {
  ::ChangeClipboardChain(mainWindow_, reinterpret_cast<HWND>(next));
}

uintptr_t Win32ClipboardPlatform::WatcherWindowProc() const {
  const WNDPROC proc = &velnor::ClipboardWindowProc;
  return reinterpret_cast<uintptr_t>(proc);
}

uintptr_t Win32ClipboardPlatform::SetWindowProc(uintptr_t proc) {
  return static_cast<uintptr_t>(
      SetWindowLongPtrW(mainWindow_, GWLP_WNDPROC, static_cast<LONG_PTR>(proc)));
}

intptr_t Win32ClipboardPlatform::CallWindowProcedure(uintptr_t proc, unsigned message,
                                                     uintptr_t wParam, intptr_t lParam) {
  // Installing twice without a removal in between would make the watcher its own
  // predecessor; end the message there rather than recurse without end.
  if (proc == 0 || proc == WatcherWindowProc()) {
    return DefWindowProcW(mainWindow_, message, wParam, lParam);
  }
  return CallWindowProcW(reinterpret_cast<WNDPROC>(proc), mainWindow_, message, wParam, lParam);
}

intptr_t Win32ClipboardPlatform::SendChainMessage(uintptr_t window, unsigned message,
                                                  uintptr_t wParam, intptr_t lParam) {
  return SendMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

bool Win32ClipboardPlatform::IsTextAvailable() {
  return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

std::optional<String> Win32ClipboardPlatform::TryReadText() {
  if (!OpenClipboard(mainWindow_)) return std::nullopt;
  String text = TextOf(GetClipboardData(CF_UNICODETEXT));
  CloseClipboard();
  return text;
}

bool Win32ClipboardPlatform::ReplaceText(const String& text) {
  HGLOBAL memory = GlobalText(text);
  if (memory == nullptr) return false;
  // Opened with our window, so that the emptied clipboard is ours and takes the text.
  if (!OpenClipboardPatiently(mainWindow_)) {
    GlobalFree(memory);
    return false;
  }
  const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  // A failed SetClipboardData leaves the memory with the caller (cppcheck's Windows library
  // has the call take it whatever happens).
  // cppcheck-suppress doubleFree
  if (!placed) GlobalFree(memory);  // the clipboard owns it only once placed
  CloseClipboard();
  return placed;
}

void Win32ClipboardPlatform::StartRetryTimer(int milliseconds) {
  // The same id again only sets the timer afresh: there is never more than one.
  SetTimer(mainWindow_, kClipboardRetryTimerId, static_cast<UINT>(milliseconds), nullptr);
}

void Win32ClipboardPlatform::StopRetryTimer() { KillTimer(mainWindow_, kClipboardRetryTimerId); }

// Posted as the menu command would be: the search's window must not open inside the notice.
void Win32ClipboardPlatform::RequestSeriesSearch() {
  PostMessageW(mainWindow_, WM_COMMAND, MAKEWPARAM(ids::kEditFindSeries, 0), 0);
}

LRESULT CALLBACK ClipboardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_clipboard == nullptr || window != g_clipboard->mainWindow()) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return ClipboardWindowProc(g_clipboard->program(), message, wParam, lParam);
}

}  // namespace velnor
