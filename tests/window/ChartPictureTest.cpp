// The chart's picture, which every toolkit draws as it is: a key for every series in the legend,
// every series drawn in its colour inside the plot, the words at the foot only when asked.
#include "window/chart/ChartPicture.h"

#include <gtest/gtest.h>

#include "window/chart/ChartText.h"

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
    for (int i = 0; i < 100; ++i)
        data.Add({i * 0.2, {double(i), 48.0 + i % 3, double(i / 10), double(i / 30 % 3)}, "A", 0});
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

}  // namespace
}  // namespace ui
