#pragma once
// A window class of the program's own, with the dialog face colour and the arrow pointer:
// registered on first use, found after that.
#include <windows.h>

namespace velnor {

inline bool EnsureWindowClass(const wchar_t* name, WNDPROC procedure) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc)) return true;
  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace velnor
