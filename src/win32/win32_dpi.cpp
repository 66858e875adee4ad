#include "win32/win32_dpi.h"

#include "win32/control_ids.h"
#include "win32/system_function.h"
#include "win32/win32_platform.h"

namespace velnor {

int WindowDpi(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = SystemFunction<GetDpi>(L"user32.dll", "GetDpiForWindow");
  if (getDpi && window) {
    const auto dpi = static_cast<int>(getDpi(window));
    if (dpi > 0) return dpi;
  }
  return ScreenDpiX();
}

int SystemMetricForDpi(int index, int dpi) {
  using GetMetric = int(WINAPI*)(int, UINT);
  static const auto getMetric = SystemFunction<GetMetric>(L"user32.dll", "GetSystemMetricsForDpi");
  if (getMetric) return getMetric(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, ScreenDpiX());
}

void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  using Adjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = SystemFunction<Adjust>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (adjust && adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) return;
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

HFONT CreateUiFont(int dpi) {
  using GetParameter = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto getParameter = SystemFunction<GetParameter>(L"user32.dll", "SystemParametersInfoForDpi");
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
