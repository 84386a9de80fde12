// Samples a chart is given: any values, huge, infinite or NaN, at any times, from any devices.
// The chart's geometry and its drawing (offscreen) must end in bounded time and memory, and the
// words beside it must be made, whatever they are: a replay file or a device chose them.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <variant>
#include <vector>

#include "fuzz/Require.h"
#include "servodiag/StatusChart.h"
#include "window/chart/ChartColumns.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartGeometry.h"
#include "window/chart/ChartText.h"
#include "window/chart/ChartView.h"
#include "window/qt/ChartPainting.h"

namespace {

// Reads the input from the front: what is left after it ends reads as zeros.
class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return size_ == 0; }
    std::uint8_t Byte() {
        std::uint8_t b = 0;
        Take(&b, 1);
        return b;
    }
    double Double() {
        double d = 0;
        Take(&d, sizeof d);
        return d;
    }

  private:
    void Take(void* out, std::size_t n) {
        const std::size_t taken = n < size_ ? n : size_;
        std::memcpy(out, data_, taken);
        data_ += taken;
        size_ -= taken;
    }
    const std::uint8_t* data_;
    std::size_t size_;
};

// Far outside any picture, yet well within a painter's coordinates.
constexpr int kFarOutside = 2'000'000;

// Drawn with `columns` brought up to date from what they read before: the same strokes as
// columns that read every held sample at once.
void Paint(const ui::ChartData& chart, const ui::ChartView& view, ui::ChartColumns& columns) {
    using fuzz::Require;
    QImage image(480, 260, QImage::Format_RGB32);
    QPainter painter(&image);
    const ui::TextMeasure measure = ui::qt::MeasureOf(painter.fontMetrics());
    const ui::ChartPicture picture =
        ui::DrawChart(chart, view, image.width(), image.height(), measure, columns, true);
    for (const ui::ChartPrimitive& primitive : picture.primitives) {
        if (const auto* line = std::get_if<ui::PolylinePrimitive>(&primitive)) {
            // A series' line (two pixels wide, below the legend) stays within the plot.
            const bool inPlot = line->width == 2 && line->points.front().y >= picture.plot.top;
            for (const ui::PixelPoint& p : line->points) {
                Require(std::abs(p.x) <= kFarOutside && std::abs(p.y) <= kFarOutside,
                        "a line's points within a painter's reach");
                Require(!inPlot || (p.x >= picture.plot.left && p.x <= picture.plot.right &&
                                    p.y >= picture.plot.top && p.y < picture.plot.bottom),
                        "a series' line within the plot");
            }
        }
    }
    ui::qt::DrawPicture(painter, picture);

    ui::ChartColumns fresh;
    (void)ui::DrawChart(chart, view, image.width(), image.height(), measure, fresh, false);
    const double first = chart.Size() > 0 ? fresh.ColumnOf(chart.At(0).seconds) : 0;
    const ui::ChartColumns::Numbers held{chart.Added() - chart.Size(), chart.Added()};
    const auto points = [first, held](const ui::ChartColumns& c, std::size_t series) {
        std::vector<std::pair<int, double>> all;
        for (const auto& stroke : c.Strokes(series, first, held)) {
            for (const ui::StrokePoint& p : stroke)
                all.emplace_back(p.x, p.value);
            all.emplace_back(-1, 0);
        }
        return all;
    };
    for (std::size_t s = 0; s < chart.Series().size(); ++s)
        Require(points(columns, s) == points(fresh, s), "columns kept up to date read as anew");
}

}  // namespace

// Fontconfig keeps what it read of the system's fonts for the process' life, found as it is first
// asked for a glyph: not the chart's to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    // Qt keeps its fonts' glyphs once drawn: drawn here first, so that no input's run is taken
    // for a leak of them.
    ui::ChartData chart(servodiag::StatusChartSeries(), 64);
    for (int i = 0; i < 64; ++i) {
        chart.Add(
            {i * 0.5,
             {double(i), -double(i), double(i / 8), double(i / 4), double(i % 3), double(i % 2)},
             i < 32 ? "A" : "B",
             0});
    }
    for (std::size_t span = 0; span < ui::ChartView::kSpans.size(); ++span) {
        ui::ChartView view;
        view.ChooseSpan(span);
        view.Pause(chart);
        ui::ChartColumns columns;
        Paint(chart, view, columns);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Require;
    Bytes in(data, size);
    const std::uint8_t how = in.Byte();
    ui::ChartData chart(servodiag::StatusChartSeries(), 64);
    ui::ChartView view;
    view.ChooseSpan(how % ui::ChartView::kSpans.size());
    ui::ChartColumns columns;
    const char* const devices[] = {"", "A", "B"};
    while (!in.Empty()) {
        ui::ChartSample sample;
        sample.seconds = in.Double();
        sample.device = devices[in.Byte() % 3];
        for (std::size_t s = 0; s < chart.Series().size(); ++s)
            sample.values.push_back(in.Double());
        chart.Add(sample);
        if (how & 0x08)
            Paint(chart, view, columns);  // a tick
    }

    if (how & 0x10) {
        view.Pause(chart);
        view.StepCursor(chart, -int(how >> 5));
    }
    const ui::TimeSpan shown = view.Visible(chart);
    for (std::size_t s = 0; s < chart.Series().size(); ++s) {
        const ui::ValueRange range = ui::PaddedRange(chart.Stats(s, shown.from, shown.to));
        Require(range.high > range.low, "a value range has a width");
        Require(ui::Ticks(range.low, range.high, 4).size() <= 20, "a few value ticks");
    }
    Require(ui::Ticks(shown.from, shown.to, 6).size() <= 28, "a few time ticks");

    Paint(chart, view, columns);

    (void)ui::StatsText(chart, shown);
    (void)chart.Csv(shown.from, shown.to);
    if (const auto cursor = view.CursorIndex(chart))
        Require(!ui::CursorText(chart, *cursor).empty(), "the cursor's sample is read out");
    return 0;
}
