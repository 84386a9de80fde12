#include "window/chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Far outside any panel, yet well inside an int and a painter's coordinates.
constexpr double kFarOutside = 1e6;

}  // namespace

double TickStep(double low, double high, int count) {
    // Halves first: high - low overflows for values near the largest double.
    const double raw = (high / 2 - low / 2) / count * 2;
    if (!std::isfinite(raw) || !(raw > 0) || count <= 0)
        return 0;
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
    const double first = std::ceil(low / step);
    // A step lost in the values' precision would give the same tick forever.
    if (!(step > 0) || !std::isfinite(first) || std::abs(first) > 1e15 || first + 1 == first)
        return ticks;
    // Counted in whole steps: a sum of steps would drift off the round values.
    const int most = 4 * count + 4;
    for (auto k = static_cast<long long>(first); double(k) * step <= high; ++k) {
        if (int(ticks.size()) == most)
            break;
        ticks.push_back(double(k) * step);
    }
    return ticks;
}

ValueRange PaddedRange(const std::optional<ChartStats>& stats) {
    if (!stats || !std::isfinite(stats->min) || !std::isfinite(stats->max))
        return {};
    // Tenths before the difference, and the whole kept within a tenth of the largest double:
    // the panel divides by its width.
    constexpr double kLargest = 1.6e307;
    const double low = std::clamp(stats->min, -kLargest, kLargest);
    const double high = std::clamp(stats->max, -kLargest, kLargest);
    // At least a hundredth of the values' size: half a unit is lost in a huge value's precision.
    const double pad =
        std::max({high * 0.1 - low * 0.1, 0.5, std::max(std::abs(low), std::abs(high)) * 0.01});
    return {low - pad, high + pad};
}

double Fraction(double value, double low, double high) {
    const double width = high / 2 - low / 2;
    const double fraction = (value / 2 - low / 2) / width;
    if (!std::isfinite(fraction))
        return 0;
    return std::clamp(fraction, -kFarOutside, kFarOutside);
}

int Pixel(double position) {
    if (std::isnan(position))
        return 0;
    return static_cast<int>(std::lround(std::clamp(position, -kFarOutside, kFarOutside)));
}

std::vector<BandRun> BandRuns(const ChartData& data, std::size_t series,
                              std::pair<std::size_t, std::size_t> shown) {
    std::vector<BandRun> runs;
    for (std::size_t i = shown.first; i < shown.second; ++i) {
        const double state = data.At(i).values[series];
        if (!(state > 0))
            continue;
        const std::size_t first = i;
        while (i + 1 < shown.second && data.At(i + 1).values[series] == state)
            ++i;
        runs.push_back({first, i, state});
    }
    return runs;
}

std::vector<std::size_t> CounterRises(const ChartData& data, std::size_t series,
                                      std::pair<std::size_t, std::size_t> shown) {
    std::vector<std::size_t> rises;
    double previous = NAN;
    for (std::size_t i = shown.first == 0 ? 0 : shown.first - 1; i < shown.second; ++i) {
        if (data.StartsDevice(i))
            previous = NAN;
        const double v = data.At(i).values[series];
        if (i >= shown.first && v > previous)
            rises.push_back(i);
        if (!std::isnan(v))
            previous = v;
    }
    return rises;
}

std::vector<std::size_t> DeviceSwitches(const ChartData& data,
                                        std::pair<std::size_t, std::size_t> shown) {
    std::vector<std::size_t> switches;
    for (std::size_t i = shown.first; i < shown.second; ++i) {
        if (data.StartsDevice(i))
            switches.push_back(i);
    }
    return switches;
}

}  // namespace ui
