#include "window/chart/ChartPicture.h"

#include <algorithm>

#include "window/chart/ChartGeometry.h"
#include "window/chart/ChartPalette.h"
#include "window/chart/ChartText.h"
#include "window/chart/PolylineClip.h"

namespace ui {

namespace {

constexpr int kMarkStrip = 14;  // under the line panels, for the counters' marks
constexpr int kMarkSize = 4;
constexpr int kPanelGap = 6;
constexpr int kRightMargin = 12;
constexpr int kLegendKey = 18;

int AxisLabelWidth(const TextMeasure& measure) {
    return measure.width("-000.0") + 8;
}

int PlotRight(int width, int labelWidth) {
    return std::max(labelWidth + 1, width - kRightMargin);
}

// Every time on the picture goes to the column its samples are drawn in.
struct TimeAxis {
    const ChartColumns& columns;
    int left = 0;
    double first = 0;  // the column at the left edge
    int lineHeight = 0;
    int X(double seconds) const { return left + Pixel(columns.ColumnOf(seconds) - first); }
};

PolylinePrimitive Line(PixelPoint from, PixelPoint to, ColorRef color, LineStyle style) {
    return {{from, to}, color, style, 1};
}

Fill BandFill(const SeriesStyle& style, double state) {
    // A second non-zero state (E-STOP bypassed) is hatched apart from the first (pressed).
    if (state >= 2)
        return Fill::Crossed;
    return style.hatch == Hatch::Diagonal ? Fill::Diagonal : Fill::DiagonalCrossed;
}

std::string Title(const ChartSeriesSpec& series) {
    return series.unit.empty() ? series.name : series.name + " (" + series.unit + ")";
}

// Each series' name beside a sample of how it is drawn, along the top: the key to telling them
// apart by dash, shape and hatch as well as colour. Returns the height it took.
int Legend(std::vector<ChartPrimitive>& out, const ChartPalette& palette, const ChartData& data,
           const TextMeasure& measure, const PixelRect& row) {
    const int rowHeight = row.bottom - row.top;
    PixelPoint at{row.left, row.top};
    // An entry that does not fit the row's rest starts another row: none is cut off.
    const auto entry = [&](const std::string& name) {
        const int nameWidth = measure.width(name);
        const int width = kLegendKey + 3 + nameWidth + 10;
        if (at.x > row.left && at.x + width > row.right)
            at = {row.left, at.y + rowHeight};
        const PixelRect key{at.x, at.y + 2, at.x + kLegendKey, at.y + rowHeight - 2};
        out.emplace_back(
            TextPrimitive{{key.right + 3, at.y, key.right + 3 + nameWidth + 1, at.y + rowHeight},
                          name,
                          palette.text,
                          TextAlign::Left,
                          false});
        at.x += width;
        return key;
    };
    std::size_t nth[3] = {0, 0, 0};
    for (const ChartSeriesSpec& spec : data.Series()) {
        const SeriesStyle style = StyleOf(spec.kind, nth[int(spec.kind)]++);
        if (spec.kind == ChartSeriesKind::Band && spec.states.size() > 2) {
            // Each state its own key: they are hatched apart.
            for (std::size_t state = 1; state < spec.states.size(); ++state) {
                const PixelRect key = entry(spec.name + " " + spec.states[state]);
                out.emplace_back(RectPrimitive{key, style.color, BandFill(style, double(state))});
            }
            continue;
        }
        const PixelRect key = entry(spec.name);
        const int middle = (key.top + key.bottom) / 2;
        switch (spec.kind) {
            case ChartSeriesKind::Line:
                out.emplace_back(PolylinePrimitive{
                    {{key.left, middle}, {key.right, middle}},
                    style.color,
                    style.stroke == Stroke::Dashed ? LineStyle::Dashed : LineStyle::Solid,
                    2});
                break;
            case ChartSeriesKind::Counter:
                out.emplace_back(MarkPrimitive{
                    {(key.left + key.right) / 2, middle}, style.mark, style.color, kMarkSize});
                break;
            case ChartSeriesKind::Band:
                out.emplace_back(RectPrimitive{key, style.color, BandFill(style, 1)});
                break;
        }
    }
    return at.y + rowHeight - row.top;
}

// A run of samples that hold a state shades from its first to the sample after its last, at
// least a pixel wide: one rectangle for runs that share their pixels.
void Bands(std::vector<ChartPrimitive>& out, const ChartData& data, const TimeAxis& time,
           const PixelRect& plot, std::pair<std::size_t, std::size_t> shown) {
    std::size_t nth = 0;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind != ChartSeriesKind::Band)
            continue;
        const SeriesStyle style = StyleOf(ChartSeriesKind::Band, nth++);
        std::vector<RectPrimitive> rects;
        for (const BandRun& run : BandRuns(data, s, shown)) {
            const int to = run.last + 1 < data.Size() ? time.X(data.At(run.last + 1).seconds)
                                                      : time.X(data.At(run.last).seconds) + 2;
            const int left = std::clamp(time.X(data.At(run.first).seconds), plot.left, plot.right);
            const int right = std::clamp(to, left + 1, std::max(left + 1, plot.right));
            const Fill fill = BandFill(style, run.value);
            if (!rects.empty() && rects.back().fill == fill && left <= rects.back().rect.right) {
                rects.back().rect.right = std::max(rects.back().rect.right, right);
                continue;
            }
            rects.push_back({{left, plot.top, right, plot.bottom}, style.color, fill});
        }
        out.insert(out.end(), rects.begin(), rects.end());
    }
}

// Values a pixel apart at most may fall on the same pixel: a point repeated adds nothing to a
// line, and a toolkit may leave out the line's last pixel for it. A point on the way along a
// straight row or column goes too: the line covers the same pixels, drawn in fewer segments, as
// a column's first, lowest, highest and last values often lie on one pixel column.
void AppendToPath(std::vector<PixelPoint>& points, PixelPoint at) {
    if (!points.empty() && points.back() == at)
        return;
    if (points.size() >= 2) {
        const PixelPoint before = points[points.size() - 2];
        const PixelPoint middle = points.back();
        const auto between = [](int a, int b, int c) {
            return (a < b && b < c) || (a > b && b > c);
        };
        if ((before.x == middle.x && middle.x == at.x && between(before.y, middle.y, at.y)) ||
            (before.y == middle.y && middle.y == at.y && between(before.x, middle.x, at.x))) {
            points.back() = at;
            return;
        }
    }
    points.push_back(at);
}

void LinePanel(std::vector<ChartPrimitive>& out, const ChartPalette& palette, const ChartData& data,
               std::size_t series, std::size_t nth, const TimeAxis& time,
               ChartColumns::Numbers shown, const PixelRect& panel) {
    const ChartColumns& columns = time.columns;
    const ValueRange range = PaddedRange(columns.Range(series, shown));
    const auto y = [&](double v) {
        return panel.bottom -
               Pixel(Fraction(v, range.low, range.high) * double(panel.bottom - panel.top));
    };
    out.emplace_back(PolylinePrimitive{{{panel.left, panel.top},
                                        {panel.right, panel.top},
                                        {panel.right, panel.bottom},
                                        {panel.left, panel.bottom},
                                        {panel.left, panel.top}},
                                       palette.grid,
                                       LineStyle::Solid,
                                       1});
    for (const double v : Ticks(range.low, range.high, 4)) {
        out.emplace_back(
            Line({panel.left, y(v)}, {panel.right, y(v)}, palette.grid, LineStyle::Dotted));
        const int labelTop = y(v) - time.lineHeight / 2;
        out.emplace_back(TextPrimitive{{0, labelTop, panel.left - 4, labelTop + time.lineHeight},
                                       TickText(v),
                                       palette.text,
                                       TextAlign::Right});
    }
    const SeriesStyle style = StyleOf(ChartSeriesKind::Line, nth);
    out.emplace_back(TextPrimitive{
        {panel.left + 4, panel.top + 1, panel.right - 4, panel.top + 1 + time.lineHeight},
        Title(data.Series()[series]),
        style.color,
        TextAlign::Left});
    // A missing value breaks the line: the gap shows. The line stays inside its panel, the
    // second of its two pixels too, whatever its values: those of the device before a switch
    // may lie far outside the range of the one after it.
    const PixelRect inside{panel.left, panel.top, panel.right, panel.bottom - 1};
    for (const auto& stroke : columns.Strokes(series, time.first, shown)) {
        std::vector<PixelPoint> points;
        points.reserve(stroke.size());
        for (const StrokePoint& point : stroke)
            AppendToPath(points, {time.left + point.x, y(point.value)});
        for (std::vector<PixelPoint>& part : ClipPolyline(points, inside)) {
            out.emplace_back(PolylinePrimitive{
                std::move(part), style.color,
                style.stroke == Stroke::Dashed ? LineStyle::Dashed : LineStyle::Solid, 2});
        }
    }
}

// A mark wherever a counter is higher than at its previous value: the errors that came then; one
// to a pixel column.
void Counters(std::vector<ChartPrimitive>& out, const ChartData& data, const TimeAxis& time,
              int middle, std::pair<std::size_t, std::size_t> shown) {
    std::size_t nth = 0;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind != ChartSeriesKind::Counter)
            continue;
        const SeriesStyle style = StyleOf(ChartSeriesKind::Counter, nth++);
        std::optional<int> previous;
        for (const std::size_t i : CounterRises(data, s, shown)) {
            const int x = time.X(data.At(i).seconds);
            if (x != previous)
                out.emplace_back(MarkPrimitive{{x, middle}, style.mark, style.color, kMarkSize});
            previous = x;
        }
    }
}

}  // namespace

double FractionAcross(int width, const TextMeasure& measure, double x) {
    const int left = AxisLabelWidth(measure);
    const int right = PlotRight(width, left);
    return (x - left) / (right - left);
}

ChartPicture DrawChart(const ChartData& data, const ChartView& view, int width, int height,
                       const TextMeasure& measure, ChartColumns& columns, bool readout) {
    const ChartPalette palette = DefaultChartPalette();
    const int line = measure.lineHeight;
    ChartPicture picture;
    std::vector<ChartPrimitive>& out = picture.primitives;
    out.emplace_back(RectPrimitive{{0, 0, width, height}, palette.background, Fill::Solid});
    const int chartBottom = readout ? height - 3 * line - 2 : height;
    const int labelWidth = AxisLabelWidth(measure);
    PixelRect plot{labelWidth, 2, PlotRight(width, labelWidth), chartBottom - line - 4};
    plot.top += Legend(out, palette, data, measure, {4, plot.top, width - 4, plot.top + line + 2});
    plot.bottom = std::max(plot.bottom, plot.top + 1);
    picture.plot = plot;

    const TimeSpan span = view.Visible(data);
    // The span itself, not to - from: that difference moves in its last bits as `to` moves on, and
    // columns of another width would be read anew.
    columns.Update(data, view.SpanSeconds() / (plot.right - plot.left));
    const TimeAxis time{columns, plot.left, columns.ColumnOf(span.from), line};
    const auto shown = data.Between(span.from, span.to);
    // The lines from the samples shown alone: the columns at the edges hold others too, from
    // before the time shown, or after the pause, and maybe another device's.
    const std::size_t oldest = data.Added() - data.Size();
    const ChartColumns::Numbers shownNumbers{oldest + shown.first, oldest + shown.second};

    Bands(out, data, time, plot, shown);
    std::vector<std::size_t> lines;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind == ChartSeriesKind::Line)
            lines.push_back(s);
    }
    if (!lines.empty()) {
        const int count = int(lines.size());
        const int panelHeight =
            std::max(1, (plot.bottom - plot.top - kMarkStrip - kPanelGap * count) / count);
        for (int n = 0; n < count; ++n) {
            const int top = plot.top + n * (panelHeight + kPanelGap);
            LinePanel(out, palette, data, lines[std::size_t(n)], std::size_t(n), time, shownNumbers,
                      {plot.left, top, plot.right, top + panelHeight});
        }
    }
    Counters(out, data, time, plot.bottom - kMarkStrip / 2, shown);
    // Where another device's values begin: a solid line across the plot, named by the device.
    for (const std::size_t i : DeviceSwitches(data, shown)) {
        const int x = time.X(data.At(i).seconds);
        out.emplace_back(Line({x, plot.top}, {x, plot.bottom}, palette.text, LineStyle::Solid));
        out.emplace_back(TextPrimitive{{x + 2, plot.bottom - 2 * line, x + 202, plot.bottom - line},
                                       "device " + data.At(i).device,
                                       palette.text,
                                       TextAlign::Left});
    }
    for (const double t : Ticks(span.from, span.to, 6)) {
        const int x = time.X(t);
        out.emplace_back(Line({x, plot.top}, {x, plot.bottom}, palette.grid, LineStyle::Dotted));
        out.emplace_back(TextPrimitive{{x - 40, plot.bottom + 1, x + 40, plot.bottom + 1 + line},
                                       TickText(t) + " s",
                                       palette.text,
                                       TextAlign::Center});
    }
    if (const auto cursor = view.Cursor()) {
        const int x = time.X(*cursor);
        out.emplace_back(Line({x, plot.top}, {x, plot.bottom}, palette.text, LineStyle::Solid));
    }
    if (readout) {
        std::string words = StatsText(data, span);
        if (const auto cursor = view.CursorIndex(data))
            words = CursorText(data, *cursor) + "\n" + words;
        out.emplace_back(TextPrimitive{
            {4, chartBottom, width - 4, height}, words, palette.text, TextAlign::Left, true});
    }
    return picture;
}

}  // namespace ui
