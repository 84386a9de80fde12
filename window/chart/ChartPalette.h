// How a chart draws: its background, text and grid, and each series' colour together with a
// second distinction (a line's dash, a mark's shape, a band's hatch), so that no series is told
// apart by colour alone. Shared by every toolkit.
#pragma once

#include <cstddef>

#include "window/FormLayout.h"

namespace ui {

enum class Stroke { Solid, Dashed };
enum class MarkShape { Triangle, Cross };
enum class Hatch { Diagonal, Crossed };

struct SeriesStyle {
    ColorRef color = 0;
    Stroke stroke = Stroke::Solid;         // lines
    MarkShape mark = MarkShape::Triangle;  // counters
    Hatch hatch = Hatch::Diagonal;         // bands
};

struct ChartPalette {
    ColorRef background = kWhite;
    ColorRef text = 0;
    ColorRef grid = 0;
};

ChartPalette DefaultChartPalette();

// The style of the `nth` series (from 0) of its kind; past the styles there are, they repeat.
SeriesStyle StyleOf(ChartSeriesKind kind, std::size_t nth);
// How many styles each kind has before they repeat.
inline constexpr std::size_t kStylesPerKind = 2;

}  // namespace ui
