#include "win32/win32_platform.h"

#include <string>

#include "win32/win32_text.h"

namespace velnor {

int ScreenDpiX() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void Win32Platform::ShowMessage(const String& text, const String& caption, int style) {
  const UINT type = style == kOkExclamation ? (MB_OK | MB_ICONEXCLAMATION) : MB_OK;
  MessageBoxW(owner_, Wide(text), Wide(caption), type);
}

void Win32Platform::ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (preTranslate_ && preTranslate_(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Win32Platform::TwipsPerPixelX() const {
  const int dpi = windowDpi_ ? windowDpi_() : 0;
  return 1440.0 / (dpi > 0 ? dpi : ScreenDpiX());
}

int Win32Platform::AnsiByteCount(StringView text) const {
  // Every ANSI code page, Shift_JIS included, writes an ASCII character as one byte: the
  // result list's URLs are mostly ASCII, and measuring a long list calls this once an item.
  bool ascii = true;
  for (char16_t c : text) {
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return static_cast<int>(text.size());
  return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                             nullptr, 0, nullptr, nullptr);
}

String Win32Platform::NarrowFullWidth(const String& text) const {
  if (text.empty()) return text;
  const int length = static_cast<int>(text.size());
  // A voiced full-width kana becomes two half-width characters: the result can be longer.
  const int needed = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_HALFWIDTH, Wide(text), length, nullptr, 0);
  if (needed <= 0) return text;
  std::wstring narrowed(static_cast<size_t>(needed), L'\0');
  const int written = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_HALFWIDTH, Wide(text), length, narrowed.data(), needed);
  return written > 0 ? FromWide(narrowed.data(), static_cast<size_t>(written)) : text;
}

}  // namespace velnor
