// The chart control on Win32: a child window of its own class that keeps the chart's samples and
// view, draws them with GDI (the line series against their axes, the counters' marks, the bands,
// the time axis, the cursor and, under it all, the values at the cursor and over the time shown)
// and takes the keys: Space pauses and resumes; while paused Left and Right move the cursor (with
// Shift ten samples), Home and End to the first and last.
#pragma once

#include <windows.h>

#include "window/FormLayout.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui::win32 {

// The window class, registered on first use.
const wchar_t* ChartWindowClass();
// Gives a window of that class the chart `spec` describes; it is freed with the window.
void AttachChart(HWND chart, const ControlSpec& spec);
void AddChartSample(HWND chart, const ChartSample& sample);
// What the chart shows; null for a window that is not a chart.
const ChartView* ChartViewOf(HWND chart);

}  // namespace ui::win32
