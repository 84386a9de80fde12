#include "window/chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>

namespace ui {

double TickStep(double low, double high, int count) {
    const double raw = (high - low) / count;
    const double magnitude = std::pow(10, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * magnitude >= raw)
            return factor * magnitude;
    }
    return 10 * magnitude;
}

std::vector<double> Ticks(double low, double high, int count) {
    const double step = TickStep(low, high, count);
    std::vector<double> ticks;
    // Counted in whole steps: a sum of steps would drift off the round values.
    for (auto k = static_cast<long long>(std::ceil(low / step)); double(k) * step <= high; ++k)
        ticks.push_back(double(k) * step);
    return ticks;
}

ValueRange PaddedRange(const std::optional<ChartStats>& stats) {
    if (!stats)
        return {};
    const double pad = std::max((stats->max - stats->min) * 0.1, 0.5);
    return {stats->min - pad, stats->max + pad};
}

std::vector<std::pair<std::size_t, std::size_t>> BandRuns(
    const ChartData& data, std::size_t series, std::pair<std::size_t, std::size_t> shown) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = shown.first; i < shown.second; ++i) {
        if (!(data.At(i).values[series] > 0))
            continue;
        const std::size_t first = i;
        while (i + 1 < shown.second && data.At(i + 1).values[series] > 0)
            ++i;
        runs.emplace_back(first, i);
    }
    return runs;
}

std::vector<std::vector<StrokePoint>> LineStrokes(const ChartData& data, std::size_t series,
                                                  std::pair<std::size_t, std::size_t> shown,
                                                  const std::function<int(double)>& column) {
    std::vector<std::vector<StrokePoint>> strokes;
    std::vector<StrokePoint> stroke;
    std::optional<StrokePoint> low;
    std::optional<StrokePoint> high;
    const auto flush = [&] {
        if (low) {
            stroke.push_back(*low);
            if (high->value != low->value)
                stroke.push_back(*high);
        }
        low.reset();
        high.reset();
    };
    for (std::size_t i = shown.first; i < shown.second; ++i) {
        const double v = data.At(i).values[series];
        if (std::isnan(v)) {
            flush();
            if (!stroke.empty())
                strokes.push_back(std::move(stroke));
            stroke.clear();
            continue;
        }
        const int x = column(data.At(i).seconds);
        if (low && low->x != x)
            flush();
        if (!low || v < low->value)
            low = StrokePoint{x, v};
        if (!high || v > high->value)
            high = StrokePoint{x, v};
    }
    flush();
    if (!stroke.empty())
        strokes.push_back(std::move(stroke));
    return strokes;
}

}  // namespace ui
