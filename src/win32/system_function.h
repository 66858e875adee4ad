#pragma once
// Functions that only newer systems have are looked up at run time, so that the program still
// starts where they are missing.
#include <windows.h>

namespace velnor {

// The function `name` of a system DLL the program has loaded already (kernel32, user32), or
// nullptr where this system lacks it.
template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  HMODULE loaded = GetModuleHandleW(module);
  if (!loaded) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

}  // namespace velnor
