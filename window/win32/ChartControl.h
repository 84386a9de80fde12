// The chart control on Win32: a container window of its own class holding a row of buttons (pause,
// how much time, copy as CSV, save as PNG, fold) over the drawing. The drawing is a child window
// that keeps the keys: Space pauses and resumes; while paused Left and Right move the cursor (with
// Shift ten samples), Home and End to the first and last, and the pointer places it where it
// rests. Folded, only the row's fold button is left, and the form is told to shrink by the rest.
#pragma once

#include <windows.h>

#include <string>

#include "window/FormLayout.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui::win32 {

// The container's children, by control ID.
enum ChartPart : int {
    kChartPlot = 1,
    kChartPause,
    kChartSpan,
    kChartCopy,
    kChartSave,
    kChartFold
};

// Sent to the chart's parent when it folds or unfolds: wParam is 0, lParam the change of height
// in pixels (negative when it shrank).
constexpr UINT kChartHeightChanged = WM_APP + 40;

// The container's window class, registered on first use.
const wchar_t* ChartWindowClass();
// Gives a window of that class the chart `spec` describes, its children in `font`, and folds it
// as the user left it last time (`foldMemory`: window/chart/FoldMemory.h). Freed with the window.
void AttachChart(HWND chart, const ControlSpec& spec, HFONT font, std::string foldMemory);
// At another DPI: the chart's children take `font` and the chart its `unfoldedHeight` (folded, it
// keeps to its row). Returns how much shorter than unfoldedHeight the chart is (0 unfolded).
int RescaleChart(HWND chart, HFONT font, int unfoldedHeight);
void AddChartSample(HWND chart, const ChartSample& sample);
// What the chart shows; null for a window that is not a chart.
const ChartView* ChartViewOf(HWND chart);
bool ChartFolded(HWND chart);

}  // namespace ui::win32
