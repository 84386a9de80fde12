// Draws a chart's picture (window/chart/ChartPicture.h) with GDI.
#pragma once

#include <windows.h>

#include "window/chart/ChartColumns.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartPicture.h"
#include "window/chart/ChartView.h"

namespace ui::win32 {

// The font selected into `dc`, measured.
TextMeasure MeasureOf(HDC dc);

void DrawPicture(HDC dc, const ChartPicture& picture);

// How far across the time axis (0 at its start, 1 at its end) pixel column x of chart window
// `plot`, drawn in `font`, lies: where the pointer puts the cursor.
double FractionAcross(HWND plot, HFONT font, int x);

// The chart's picture in `area` of `dc` (whose font it is drawn in); `readout`: the words at its
// foot; `focused`: the focus frame around it.
void PaintChartGdi(HDC dc, const RECT& area, const ChartData& data, const ChartView& view,
                   ChartColumns& columns, bool readout, bool focused);

}  // namespace ui::win32
