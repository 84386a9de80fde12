// A line cut to a rectangle, the same for every toolkit: a panel's line whose values lie far
// outside its range (another device's, before the switch) stays in its panel instead of crossing
// the others and the legend.
#pragma once

#include <vector>

#include "window/chart/ChartPrimitives.h"

namespace ui {

// The parts of the line through `points` within [left, right] × [top, bottom], edges included; a
// lone point is kept when it is inside. A part cut at an edge ends on the pixel nearest where the
// line crosses it.
std::vector<std::vector<PixelPoint>> ClipPolyline(const std::vector<PixelPoint>& points,
                                                  const PixelRect& bounds);

}  // namespace ui
