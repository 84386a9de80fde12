#include "window/win32/ChartGdi.h"

#include <cmath>
#include <string>
#include <vector>

#include "window/chart/ChartGeometry.h"
#include "window/chart/ChartPalette.h"
#include "window/chart/ChartText.h"
#include "window/win32/Utf16.h"

namespace ui::win32 {

namespace {

constexpr int kAxisLabelWidth = 48;
constexpr int kMarkStrip = 12;
constexpr int kMarkSize = 4;
constexpr int kPanelGap = 4;
constexpr int kRightMargin = 10;

struct Mapping {
    RECT plot;
    TimeSpan shown;
    int X(double seconds) const {
        return plot.left +
               Pixel(Fraction(seconds, shown.from, shown.to) * double(plot.right - plot.left));
    }
};

std::wstring Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::abs(value) < 1e-9 ? 0 : value);
    return ToUtf16(text);
}

void Text(HDC dc, int x, int y, const std::wstring& text, UINT align) {
    SetTextAlign(dc, align);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// A pen selected for the drawing that follows, and put back and deleted after it.
class PenScope {
  public:
    PenScope(HDC dc, int style, ColorRef color)
        : dc_(dc), pen_(CreatePen(style, 1, color)), old_(SelectObject(dc, pen_)) {}
    ~PenScope() {
        SelectObject(dc_, old_);
        DeleteObject(pen_);
    }
    PenScope(const PenScope&) = delete;
    PenScope& operator=(const PenScope&) = delete;

  private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ old_;
};

void PaintBands(HDC dc, const ChartData& data, const Mapping& time,
                std::pair<std::size_t, std::size_t> shown) {
    std::size_t nth = 0;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind != ChartSeriesKind::Band)
            continue;
        const SeriesStyle style = StyleOf(ChartSeriesKind::Band, nth++);
        HBRUSH hatch = CreateHatchBrush(
            style.hatch == Hatch::Diagonal ? HS_BDIAGONAL : HS_DIAGCROSS, style.color);
        // A second non-zero state (E-STOP bypassed) is hatched apart from the first (pressed).
        HBRUSH secondState = CreateHatchBrush(HS_CROSS, style.color);
        for (const BandRun& run : BandRuns(data, s, shown)) {
            const std::size_t first = run.first;
            const std::size_t last = run.last;
            const int to = last + 1 < data.Size() ? time.X(data.At(last + 1).seconds)
                                                  : time.X(data.At(last).seconds) + 2;
            RECT band{std::max<LONG>(time.X(data.At(first).seconds), time.plot.left), time.plot.top,
                      std::min<LONG>(to, time.plot.right), time.plot.bottom};
            FillRect(dc, &band, run.value >= 2 ? secondState : hatch);
        }
        DeleteObject(hatch);
        DeleteObject(secondState);
    }
}

void PaintLine(HDC dc, const ChartPalette& palette, const ChartData& data, std::size_t series,
               std::size_t nth, const Mapping& time, const RECT& panel,
               std::pair<std::size_t, std::size_t> shown) {
    const ChartSeriesSpec& spec = data.Series()[series];
    const ValueRange range = PaddedRange(data.Stats(series, time.shown.from, time.shown.to));
    const auto y = [&](double v) {
        return panel.bottom -
               Pixel(Fraction(v, range.low, range.high) * double(panel.bottom - panel.top));
    };
    {
        PenScope frame(dc, PS_SOLID, palette.grid);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, panel.left, panel.top, panel.right, panel.bottom);
        SetTextColor(dc, palette.text);
        for (const double v : Ticks(range.low, range.high, 4)) {
            MoveToEx(dc, panel.left - 3, y(v), nullptr);
            LineTo(dc, panel.left, y(v));
            Text(dc, panel.left - 5, y(v) - 6, Number(v), TA_RIGHT | TA_TOP);
        }
    }
    const SeriesStyle style = StyleOf(ChartSeriesKind::Line, nth);
    SetTextColor(dc, style.color);
    Text(dc, panel.left + 4, panel.top + 1, ToUtf16(spec.name + " (" + spec.unit + ")"),
         TA_LEFT | TA_TOP);
    PenScope pen(dc, style.stroke == Stroke::Dashed ? PS_DASH : PS_SOLID, style.color);
    for (const auto& stroke :
         LineStrokes(data, series, shown, [&](double t) { return time.X(t); })) {
        std::vector<POINT> points;
        points.reserve(stroke.size());
        for (const StrokePoint& p : stroke)
            points.push_back({p.x, y(p.value)});
        Polyline(dc, points.data(), static_cast<int>(points.size()));
    }
}

void PaintCounters(HDC dc, const ChartData& data, const Mapping& time, int stripMiddle,
                   std::pair<std::size_t, std::size_t> shown) {
    std::size_t nth = 0;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind != ChartSeriesKind::Counter)
            continue;
        const SeriesStyle style = StyleOf(ChartSeriesKind::Counter, nth++);
        PenScope pen(dc, PS_SOLID, style.color);
        for (const std::size_t i : CounterRises(data, s, shown)) {
            const int x = time.X(data.At(i).seconds);
            if (style.mark == MarkShape::Cross) {
                MoveToEx(dc, x - kMarkSize, stripMiddle - kMarkSize, nullptr);
                LineTo(dc, x + kMarkSize + 1, stripMiddle + kMarkSize + 1);
                MoveToEx(dc, x - kMarkSize, stripMiddle + kMarkSize, nullptr);
                LineTo(dc, x + kMarkSize + 1, stripMiddle - kMarkSize - 1);
            } else {
                const POINT triangle[] = {{x, stripMiddle - kMarkSize},
                                          {x + kMarkSize, stripMiddle + kMarkSize},
                                          {x - kMarkSize, stripMiddle + kMarkSize}};
                SelectObject(dc, GetStockObject(DC_BRUSH));
                SetDCBrushColor(dc, style.color);
                Polygon(dc, triangle, 3);
            }
        }
    }
}

// Where another device's values begin: a solid line across the plot, named by the device.
void PaintDeviceSwitches(HDC dc, const ChartPalette& palette, const ChartData& data,
                         const Mapping& time, int lineHeight,
                         std::pair<std::size_t, std::size_t> shown) {
    PenScope pen(dc, PS_SOLID, palette.text);
    SetTextColor(dc, palette.text);
    for (const std::size_t i : DeviceSwitches(data, shown)) {
        const int x = time.X(data.At(i).seconds);
        MoveToEx(dc, x, time.plot.top, nullptr);
        LineTo(dc, x, time.plot.bottom);
        Text(dc, x + 2, time.plot.bottom - 2 * lineHeight, ToUtf16("device " + data.At(i).device),
             TA_LEFT | TA_TOP);
    }
}

void PaintTimeAxis(HDC dc, const ChartPalette& palette, const Mapping& time) {
    PenScope pen(dc, PS_DOT, palette.grid);
    SetTextColor(dc, palette.text);
    for (const double t : Ticks(time.shown.from, time.shown.to, 6)) {
        MoveToEx(dc, time.X(t), time.plot.top, nullptr);
        LineTo(dc, time.X(t), time.plot.bottom);
        Text(dc, time.X(t), time.plot.bottom + 1, Number(t) + L" s", TA_CENTER | TA_TOP);
    }
}

}  // namespace

double FractionAcross(const RECT& area, int x) {
    const int left = area.left + kAxisLabelWidth;
    const int right = area.right - kRightMargin;
    return right > left ? double(x - left) / (right - left) : 0;
}

void PaintChartGdi(HDC dc, const RECT& area, const ChartData& data, const ChartView& view,
                   bool focused) {
    const ChartPalette palette = DefaultChartPalette();
    HBRUSH background = CreateSolidBrush(palette.background);
    FillRect(dc, &area, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight;

    // At the foot, in words: the values at the cursor, and the range and mean of what is shown.
    const TimeSpan shownSpan = view.Visible(data);
    std::string words = StatsText(data, shownSpan);
    if (const auto cursor = view.CursorIndex(data))
        words = CursorText(data, *cursor) + "\n" + words;
    RECT foot{area.left + 4, area.bottom - 3 * line - 2, area.right - 4, area.bottom};
    SetTextColor(dc, palette.text);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    const std::wstring wideWords = ToUtf16(words);
    DrawTextW(dc, wideWords.c_str(), -1, &foot, DT_WORDBREAK | DT_NOPREFIX);

    const RECT plot{area.left + kAxisLabelWidth, area.top + 4, area.right - kRightMargin,
                    foot.top - line - 2};
    const Mapping time{plot, shownSpan};
    const auto shown = data.Between(shownSpan.from, shownSpan.to);
    std::vector<std::size_t> lines;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind == ChartSeriesKind::Line)
            lines.push_back(s);
    }
    PaintBands(dc, data, time, shown);
    if (!lines.empty()) {
        const int count = static_cast<int>(lines.size());
        const int height = (plot.bottom - plot.top - kMarkStrip - kPanelGap * count) / count;
        for (int n = 0; n < count; ++n) {
            const int top = plot.top + n * (height + kPanelGap);
            PaintLine(dc, palette, data, lines[n], n, time,
                      RECT{plot.left, top, plot.right, top + height}, shown);
        }
    }
    PaintCounters(dc, data, time, plot.bottom - kMarkStrip / 2, shown);
    PaintDeviceSwitches(dc, palette, data, time, line, shown);
    PaintTimeAxis(dc, palette, time);
    if (const auto cursor = view.Cursor()) {
        PenScope pen(dc, PS_SOLID, palette.text);
        MoveToEx(dc, time.X(*cursor), plot.top, nullptr);
        LineTo(dc, time.X(*cursor), plot.bottom);
    }
    if (focused) {
        RECT frame = area;
        InflateRect(&frame, -1, -1);
        DrawFocusRect(dc, &frame);
    }
}

}  // namespace ui::win32
