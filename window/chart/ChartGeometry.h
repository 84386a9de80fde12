// What every toolkit's chart drawing works out alike: round axis steps, a line's value range,
// the runs of a band, and a line reduced to what its pixel columns can show.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "window/chart/ChartData.h"

namespace ui {

// A round step (1, 2 or 5 times a power of ten) that gives about `count` ticks over [low, high].
double TickStep(double low, double high, int count);
// The ticks at that step from low to high.
std::vector<double> Ticks(double low, double high, int count);

struct ValueRange {
    double low = 0;
    double high = 1;
};
// The values' range with a margin, so that the line never runs along the panel's edge.
ValueRange PaddedRange(const std::optional<ChartStats>& stats);

// The samples [first, last] of each run of a band's non-zero values within `shown`.
std::vector<std::pair<std::size_t, std::size_t>> BandRuns(
    const ChartData& data, std::size_t series, std::pair<std::size_t, std::size_t> shown);

struct StrokePoint {
    int x = 0;
    double value = 0;
};
// A line series as strokes: a missing value ends one. Samples that fall on the same pixel column
// (column(seconds)) give it their lowest and highest value only: all that can be seen of them.
std::vector<std::vector<StrokePoint>> LineStrokes(const ChartData& data, std::size_t series,
                                                  std::pair<std::size_t, std::size_t> shown,
                                                  const std::function<int(double)>& column);

}  // namespace ui
