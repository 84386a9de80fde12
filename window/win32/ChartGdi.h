// Draws a chart with GDI, as the Qt chart draws it: a panel per line series with its axis and
// unit, the counters' marks on a strip under them, the bands hatched across, the time axis, the
// cursor, and the values at the cursor and over the time shown as text at the foot.
#pragma once

#include <windows.h>

#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui::win32 {

// How far across the time axis (0 at its start, 1 at its end) pixel column x of a chart drawn in
// `area` lies: where the pointer puts the cursor.
double FractionAcross(const RECT& area, int x);

void PaintChartGdi(HDC dc, const RECT& area, const ChartData& data, const ChartView& view,
                   bool focused);

}  // namespace ui::win32
