#pragma once
// The program's text type meets the W APIs here: on Windows both are UTF-16.
#include <windows.h>

#include "base/text.h"

namespace velnor {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W APIs take UTF-16");

inline const wchar_t* Wide(const String& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline String FromWide(const wchar_t* text, size_t length) {
  return String(reinterpret_cast<const char16_t*>(text), length);
}

// A window's text (WM_GETTEXT), whatever its length.
String WindowText(HWND hwnd);

// Layout units of 1/1440 inch to pixels at the given dots per inch, rounded to nearest.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

}  // namespace velnor
