// A chart's picture, the same for every toolkit: the legend along the top, a panel per line
// series with its value axis, name and unit, the counters' marks on a strip under the panels, the
// bands hatched across, the device switches, the time axis, while paused the cursor, and when
// asked the values at the cursor and over the time shown as words at the foot.
#pragma once

#include <vector>

#include "window/chart/ChartColumns.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartPrimitives.h"
#include "window/chart/ChartView.h"

namespace ui {

struct ChartPicture {
    std::vector<ChartPrimitive> primitives;
    PixelRect plot;  // where the samples go
};

// What the pointer's column across a picture `width` pixels wide tells the cursor: 0 at the time
// axis' start, 1 at its end.
double FractionAcross(int width, const TextMeasure& measure, double x);

// The picture of what `view` shows of `data` in `width` × `height` pixels; `columns` is brought up
// to date first (keep one per chart: it reads only the samples added since). `readout`: the words
// at the foot, for a chart with no other place to show them.
ChartPicture DrawChart(const ChartData& data, const ChartView& view, int width, int height,
                       const TextMeasure& measure, ChartColumns& columns, bool readout);

}  // namespace ui
