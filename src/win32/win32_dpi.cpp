#include "win32/win32_dpi.h"

#include "win32/control_ids.h"
#include "win32/win32_platform.h"

namespace velnor {
namespace {

// A function of user32 that older systems lack, or nullptr.
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

int WindowDpi(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = User32Function<GetDpi>("GetDpiForWindow");
  if (getDpi && window) {
    const auto dpi = static_cast<int>(getDpi(window));
    if (dpi > 0) return dpi;
  }
  return ScreenDpiX();
}

int SystemMetricForDpi(int index, int dpi) {
  using GetMetric = int(WINAPI*)(int, UINT);
  static const auto getMetric = User32Function<GetMetric>("GetSystemMetricsForDpi");
  if (getMetric) return getMetric(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, ScreenDpiX());
}

HFONT CreateUiFont(int dpi) {
  using GetParameter = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto getParameter = User32Function<GetParameter>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  bool found = false;
  if (getParameter) {
    found = getParameter(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)) != FALSE;
  }
  if (!found && SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    // The system's metrics are at the system DPI.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpiX());
    found = true;
  }
  HFONT font = found ? CreateFontIndirectW(&metrics.lfMessageFont) : nullptr;
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HICON LoadProgramIcon(int pixels) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ids::kAppIcon), IMAGE_ICON,
                                       pixels, pixels, LR_DEFAULTCOLOR));
}

}  // namespace velnor
