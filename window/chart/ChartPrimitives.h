// A chart's picture as what to draw, in pixels: lines, filled and hatched rectangles, marks and
// texts, in the order they are drawn. Worked out once by the portable chart code; each toolkit
// only draws them, so that every toolkit's chart shows the same.
#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "window/FormLayout.h"
#include "window/chart/ChartPalette.h"

namespace ui {

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Right and bottom are outside, as the toolkits fill a rectangle.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

enum class LineStyle { Solid, Dashed, Dotted };
enum class Fill { Solid, Diagonal, DiagonalCrossed, Crossed };
enum class TextAlign { Left, Center, Right };

// Width 2 is the same line drawn again a pixel lower: a toolkit's one-pixel line is its fastest.
struct PolylinePrimitive {
    std::vector<PixelPoint> points;
    ColorRef color = 0;
    LineStyle style = LineStyle::Solid;
    int width = 1;
    bool operator==(const PolylinePrimitive&) const = default;
};

struct RectPrimitive {
    PixelRect rect;
    ColorRef color = 0;
    Fill fill = Fill::Solid;
    bool operator==(const RectPrimitive&) const = default;
};

// A counter's mark: a filled triangle or a cross, `size` pixels each way from its middle.
struct MarkPrimitive {
    PixelPoint at;
    MarkShape shape = MarkShape::Triangle;
    ColorRef color = 0;
    int size = 4;
    bool operator==(const MarkPrimitive&) const = default;
};

// One line centred on the box's height, or (wrapped) lines from the box's top; what reaches past
// the box is cut off, by every toolkit alike.
struct TextPrimitive {
    PixelRect box;
    std::string text;
    ColorRef color = 0;
    TextAlign align = TextAlign::Left;
    bool wrapped = false;
    bool operator==(const TextPrimitive&) const = default;
};

using ChartPrimitive = std::variant<PolylinePrimitive, RectPrimitive, MarkPrimitive, TextPrimitive>;

// How the toolkit's font measures text, in pixels.
struct TextMeasure {
    std::function<int(const std::string&)> width;
    int lineHeight = 0;
};

}  // namespace ui
