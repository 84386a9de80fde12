#include "window/chart/ChartPalette.h"

namespace ui {

ChartPalette DefaultChartPalette() {
    // The grid is the lightest grey still readable on white: it carries the axis labels' ticks.
    return {kWhite, Rgb(0x1A, 0x1A, 0x1A), Rgb(0x76, 0x76, 0x76)};
}

SeriesStyle StyleOf(ChartSeriesKind kind, std::size_t nth) {
    const bool second = nth % kStylesPerKind == 1;
    SeriesStyle style;
    switch (kind) {
        case ChartSeriesKind::Line:
            style.color = second ? Rgb(0x8A, 0x4B, 0x00) : Rgb(0x1F, 0x4E, 0x9A);
            style.stroke = second ? Stroke::Dashed : Stroke::Solid;
            break;
        case ChartSeriesKind::Counter:
            style.color = second ? Rgb(0x5B, 0x2A, 0x86) : Rgb(0xB0, 0x00, 0x20);
            style.mark = second ? MarkShape::Cross : MarkShape::Triangle;
            break;
        case ChartSeriesKind::Band:
            style.color = second ? Rgb(0x50, 0x50, 0x50) : Rgb(0xB0, 0x00, 0x20);
            style.hatch = second ? Hatch::Crossed : Hatch::Diagonal;
            break;
    }
    return style;
}

}  // namespace ui
