// The chart's picture, which every toolkit draws as it is: a key for every series in the legend,
// every series drawn in its colour inside the plot, the words at the foot only when asked.
#include "window/chart/ChartPicture.h"

#include <gtest/gtest.h>

#include "window/chart/ChartText.h"
#include "window/chart/PolylineClip.h"

namespace ui {
namespace {

// Where a primitive is, and in what colour; texts apart.
std::pair<PixelRect, ColorRef> Place(const ChartPrimitive& primitive) {
    if (const auto* line = std::get_if<PolylinePrimitive>(&primitive))
        return {{line->points.front().x, line->points.front().y, 0, 0}, line->color};
    if (const auto* rect = std::get_if<RectPrimitive>(&primitive))
        return {rect->rect, rect->color};
    if (const auto* mark = std::get_if<MarkPrimitive>(&primitive))
        return {{mark->at.x, mark->at.y, 0, 0}, mark->color};
    return {{-1, -1, 0, 0}, 0};
}

TEST(ChartPictureTest, ShowsEverySeriesInTheLegendAndThePlot) {
    ChartData data({{"Position", "°", ChartSeriesKind::Line, {}},
                    {"Bus voltage", "V", ChartSeriesKind::Line, {}},
                    {"USB errors", "", ChartSeriesKind::Counter, {}},
                    {"E-STOP", "", ChartSeriesKind::Band, {"released", "pressed", "bypassed"}}},
                   0);
    // Device A's positions lie far outside B's range: its line must stay in its panel all the same.
    for (int i = 0; i < 100; ++i)
        data.Add({i * 0.2,
                  {i < 60 ? -1e5 * i : double(i), 48.0 + i % 3, double(i / 10), double(i / 30 % 3)},
                  i < 60 ? "A" : "B",
                  0});
    const TextMeasure measure{[](const std::string& text) { return int(text.size()) * 7; }, 14};
    ChartColumns columns;
    ChartView view;
    view.Pause(data);
    const ChartPicture picture = DrawChart(data, view, 640, 320, measure, columns, false);

    const struct {
        std::vector<std::string> keys;  // the legend's names
        SeriesStyle style;
    } series[] = {{{"Position"}, StyleOf(ChartSeriesKind::Line, 0)},
                  {{"Bus voltage"}, StyleOf(ChartSeriesKind::Line, 1)},
                  {{"USB errors"}, StyleOf(ChartSeriesKind::Counter, 0)},
                  {{"E-STOP pressed", "E-STOP bypassed"}, StyleOf(ChartSeriesKind::Band, 0)}};
    for (const auto& s : series) {
        for (const std::string& key : s.keys) {
            const bool inLegend = std::any_of(
                picture.primitives.begin(), picture.primitives.end(), [&](const auto& p) {
                    const auto* text = std::get_if<TextPrimitive>(&p);
                    return text != nullptr && text->text == key && text->box.top < picture.plot.top;
                });
            EXPECT_TRUE(inLegend) << key;
        }
        int legend = 0;
        int plot = 0;
        for (const ChartPrimitive& p : picture.primitives) {
            const auto [at, color] = Place(p);
            if (color != s.style.color || at.top < 0)
                continue;
            ++(at.top < picture.plot.top ? legend : plot);
        }
        EXPECT_GE(legend, 1) << s.keys[0];
        EXPECT_GE(plot, 1) << s.keys[0];
    }
    for (const ChartPrimitive& p : picture.primitives) {
        const auto* line = std::get_if<PolylinePrimitive>(&p);
        if (line == nullptr || line->width != 2 || line->points.front().y < picture.plot.top)
            continue;  // not a series' line
        for (const PixelPoint& at : line->points) {
            EXPECT_TRUE(at.x >= picture.plot.left && at.x <= picture.plot.right &&
                        at.y >= picture.plot.top && at.y < picture.plot.bottom)
                << at.x << "," << at.y;
        }
    }

    // The words at the foot: the window's own when asked, never in a saved picture.
    const auto words = [](const ChartPicture& p) {
        std::string found;
        for (const ChartPrimitive& primitive : p.primitives) {
            if (const auto* text = std::get_if<TextPrimitive>(&primitive); text && text->wrapped)
                found += text->text;
        }
        return found;
    };
    EXPECT_EQ(words(picture), "");
    EXPECT_EQ(words(DrawChart(data, view, 640, 320, measure, columns, true)),
              CursorText(data, 99) + "\n" + StatsText(data, view.Visible(data)));
}

// A line cut at a panel's edges keeps every part inside, ends where it crosses the edge, and
// starts afresh where it comes back.
TEST(ChartPictureTest, ClipsALineToItsPanel) {
    using Line = std::vector<PixelPoint>;
    const PixelRect panel{10, 10, 20, 20};
    const struct {
        Line points;
        std::vector<Line> parts;
    } cases[] = {
        {{{10, 10}, {20, 20}, {12, 15}}, {{{10, 10}, {20, 20}, {12, 15}}}},
        {{{12, 12}, {12, 1000000}, {14, 12}, {16, -1000000}},
         {{{12, 12}, {12, 20}}, {{14, 20}, {14, 12}, {14, 10}}}},
        {{{0, 15}, {30, 15}}, {{{10, 15}, {20, 15}}}},
        {{{5, 5}}, {}},
        {{{15, 15}}, {{{15, 15}}}},
        {{{0, 0}, {0, 30}}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClipPolyline(c.points, panel), c.parts) << c.points.size();
}

}  // namespace
}  // namespace ui
