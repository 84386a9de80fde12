// The words a chart shows beside its drawing, and gives to assistive technology: the values at
// the cursor, and the range and mean of each value over the time shown.
#pragma once

#include <string>

#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui {

// "48.12 V", "90 °", "3"; a band's state as "yes" or "no"; "none" when absent.
std::string ChartValueText(const ChartSeriesSpec& series, double value);

// "At 12.4 s: Position 90 °, Bus voltage 48.12 V, …"; empty with no sample.
std::string CursorText(const ChartData& data, double seconds);

// "Position min -90, max 90, mean 1.25 °; Bus voltage …" over the lines' values shown.
std::string StatsText(const ChartData& data, TimeSpan shown);

}  // namespace ui
