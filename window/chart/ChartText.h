// The words and numbers a chart shows, and gives to assistive technology and to a CSV file: the
// values at the cursor, the range and mean of each value over the time shown, the axes' ticks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui {

// The name of a band's state ("pressed"); none for a series without named states, or a value
// that names none of them.
std::optional<std::string> StateName(const ChartSeriesSpec& series, double value);

// An axis' tick: six significant digits, "0" for what rounding left of a zero.
std::string TickText(double value);

// A CSV cell: to the milli-unit, the finest the devices report; empty for NaN.
std::string CsvNumber(double value);

// "2026-12-07T15:04:05.123Z"; empty for 0 (unknown) and for times the system clock cannot hold.
std::string UtcText(std::int64_t milliseconds);

// "48.12 V", "90 °", "3"; a band's state by its name, or as "yes" or "no"; "none" when absent.
std::string ChartValueText(const ChartSeriesSpec& series, double value);

// "At 12.4 s (2026-12-07T15:04:05.123Z), device 1234: Position 90 °, Bus voltage 48.12 V, …"
// for the sample at `index`; empty when there is none.
std::string CursorText(const ChartData& data, std::size_t index);

// "Position min -90, max 90, mean 1.25 °; Bus voltage …" over the lines' values shown, from the
// last device switch among them ("device 1234: Position …").
std::string StatsText(const ChartData& data, TimeSpan shown);

}  // namespace ui
