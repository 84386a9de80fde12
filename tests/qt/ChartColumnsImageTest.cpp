// A line drawn from its columns' first, lowest, highest and last values covers the same pixels as
// every sample shown drawn, and its value axis spans the same values: over spikes, steps, noise
// and gaps, read a few samples at a time while the ring drops the oldest, paused or not, with
// another device's samples just outside the time shown.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "window/chart/ChartColumns.h"

namespace ui {
namespace {

constexpr int kWidth = 520;
constexpr int kHeight = 200;
constexpr double kSecondsPerColumn = 1.2;  // ten minutes over 500 pixels, a sample each 0.2 s

int Row(double value) {
    return kHeight - 10 - int(std::lround(value * 1.5));
}

QImage Draw(const std::vector<QPolygon>& strokes) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    // Segment by segment, each with both its ends: the pixels a line covers, without the
    // rasteriser's choice of which end of a polyline's short last segment it leaves out. A stroke
    // of one point (a lone reading) is its dot, as the chart draws it.
    for (const QPolygon& stroke : strokes) {
        if (stroke.size() == 1)
            painter.drawPoint(stroke.front());
        for (qsizetype i = 1; i < stroke.size(); ++i)
            painter.drawLine(stroke[i - 1], stroke[i]);
    }
    return image;
}

void Append(QPolygon& stroke, QPoint point) {
    if (stroke.isEmpty() || stroke.back() != point)
        stroke.append(point);
}

// Every sample shown (held samples [first, end)) at its column, a stroke broken where the
// columns break it; a point repeated adds no pixel to a line, and the chart's picture leaves it
// out.
std::vector<QPolygon> EverySample(const ChartData& data, const ChartColumns& columns, double first,
                                  std::pair<std::size_t, std::size_t> shown) {
    std::vector<QPolygon> strokes(1);
    for (std::size_t i = shown.first; i < shown.second; ++i) {
        const double v = data.At(i).values[0];
        if ((data.StartsDevice(i) || !std::isfinite(v)) && !strokes.back().isEmpty())
            strokes.emplace_back();
        if (std::isfinite(v))
            Append(strokes.back(),
                   QPoint(int(columns.ColumnOf(data.At(i).seconds) - first), Row(v)));
    }
    return strokes;
}

TEST(ChartColumnsImageTest, CoverTheSamePixelsAsEverySample) {
    const struct {
        const char* shape;
        std::function<double(int)> value;
    } shapes[] = {
        {"spikes", [](int i) { return i % 37 == 0   ? 100.0
                                      : i % 53 == 0 ? 0.0
                                                    : 40.0; }},
        // Just after a pause, and just before the time shown begins: never on the axis.
        {"spikes beside", [](int i) { return i == 1820 || i == 2398 ? 1000.0 : 10.0 + i % 3; }},
        {"steps", [](int i) { return double((i / 50) % 4) * 30; }},
        {"noise", [](int i) { return double((i * 7919LL + 1LL * i * i * 104729) % 101); }},
        {"gaps",
         [](int i) { return i % 40 < 3 || i % 97 == 0 ? NAN : 50 + 40 * std::sin(i / 30.0); }},
    };
    for (const auto& shape : shapes) {
        for (const std::size_t capacity : {std::size_t{3000}, std::size_t{700}}) {
            ChartData data({{"v", "", ChartSeriesKind::Line, {}}}, capacity);
            ChartColumns columns;
            for (int i = 0; i < 2400; ++i) {
                // Another device every 910 samples; a column read before all its samples came.
                data.Add({i * 0.2, {shape.value(i)}, i / 910 % 2 ? "B" : "A", 0});
                if (i % 7 == 0)
                    columns.Update(data, kSecondsPerColumn);
            }
            columns.Update(data, kSecondsPerColumn);
            // Another device from sample 1820 (at 364 s, inside a column); the samples shown
            // end or begin inside a column, whose other samples must not show.
            const double latest = data.Latest()->seconds;
            const struct {
                const char* what;
                double from, to;
            } views[] = {{"all held", data.At(0).seconds, latest},
                         {"paused just before a switch", 63.9, 363.9},
                         {"from just after a switch, paused", 364.1, latest - 0.5}};
            for (const auto& view : views) {
                const auto shown = data.Between(view.from, view.to);
                const std::size_t oldest = data.Added() - data.Size();
                const ChartColumns::Numbers numbers{oldest + shown.first, oldest + shown.second};
                const double first = columns.ColumnOf(view.from);
                std::vector<QPolygon> reduced;
                std::size_t points = 0;
                for (const auto& stroke : columns.Strokes(0, first, numbers)) {
                    reduced.emplace_back();
                    for (const StrokePoint& p : stroke)
                        Append(reduced.back(), QPoint(p.x, Row(p.value)));
                    points += stroke.size();
                }
                const std::string what =
                    std::string(shape.shape) + ", " + view.what + ", " + std::to_string(capacity);
                const QImage expected = Draw(EverySample(data, columns, first, shown));
                EXPECT_TRUE(Draw(reduced) == expected) << what;
                EXPECT_LE(points, 4 * 500u) << what;  // at most four points to a column
                EXPECT_NE(expected, Draw({})) << what;
                // The value axis spans what the line shows, as the statistics read out.
                const auto range = columns.Range(0, numbers);
                const auto stats = data.Stats(0, view.from, view.to);
                ASSERT_EQ(range.has_value(), stats.has_value()) << what;
                if (range) {
                    EXPECT_EQ(std::pair(range->min, range->max), std::pair(stats->min, stats->max))
                        << what;
                }
            }
        }
    }
}

}  // namespace
}  // namespace ui
