// Sizes at the DPI of the monitor a window is on. The programs are per-monitor aware (their
// manifest): a window moved to a monitor of another scale gets WM_DPICHANGED and lays itself out
// again, and the system's own sizes (frame, scroll bar, icons) are asked for at that DPI.
// GetDpiForWindow, GetSystemMetricsForDpi and AdjustWindowRectExForDpi came with Windows 10
// 1607: they are looked up in user32 when first needed, and where one is missing the system-wide
// value is scaled instead.
#pragma once

#include <windows.h>

namespace ui::win32 {

// The DPI the system draws at for windows that are not per-monitor aware (the main monitor's).
int SystemDpi();
// The DPI of the monitor `window` is on, as Windows tells it to this process.
int DpiOfWindow(HWND window);
// GetSystemMetrics(index) at `dpi`.
int MetricForDpi(int index, int dpi);
// AdjustWindowRectEx at `dpi`: the frame of a window whose client area is `frame`.
void AdjustFrameForDpi(RECT& frame, DWORD style, DWORD exStyle, int dpi);

}  // namespace ui::win32
