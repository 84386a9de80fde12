#include "window/chart/ChartData.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace ui {

namespace {

std::string Number(double value) {
    if (std::isnan(value))
        return {};
    // Milli-units are the finest the devices report: shorter rows, and no 0.30000000000000004.
    const double rounded = std::round(value * 1000) / 1000;
    char buf[32];
    const std::to_chars_result end = std::to_chars(buf, buf + sizeof buf, rounded);
    return std::string(buf, end.ptr);
}

std::string ColumnTitle(const ChartSeriesSpec& series) {
    return series.unit.empty() ? series.name : series.name + " (" + series.unit + ")";
}

}  // namespace

// Every slot's values are allocated here, once: a running program's memory does not grow as the
// ring fills, and adding a sample allocates nothing.
ChartData::ChartData(std::vector<ChartSeriesSpec> series, std::size_t capacity)
    : series_(std::move(series)),
      ring_(capacity == 0 ? kDefaultCapacity : capacity,
            ChartSample{0, std::vector<double>(series_.size())}) {}

void ChartData::Add(const ChartSample& sample) {
    ChartSample& slot = ring_[(first_ + size_) % ring_.size()];
    slot.seconds = sample.seconds;
    const std::size_t given = std::min(sample.values.size(), series_.size());
    std::copy_n(sample.values.begin(), given, slot.values.begin());
    std::fill(slot.values.begin() + std::ptrdiff_t(given), slot.values.end(),
              std::numeric_limits<double>::quiet_NaN());
    if (size_ < ring_.size())
        ++size_;
    else
        first_ = (first_ + 1) % ring_.size();
}

std::size_t ChartData::Bytes() const {
    return sizeof(*this) + ring_.size() * (sizeof(ChartSample) + series_.size() * sizeof(double));
}

const ChartSample& ChartData::At(std::size_t index) const {
    return ring_[(first_ + index) % ring_.size()];
}

std::pair<std::size_t, std::size_t> ChartData::Between(double from, double to) const {
    // Times only grow, so the stretch is found by halving, not by reading every sample.
    const auto firstAtOrAfter = [this](double seconds, bool orEqual) {
        std::size_t low = 0;
        std::size_t high = size_;
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            const double t = At(mid).seconds;
            if (orEqual ? t < seconds : t <= seconds)
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    };
    const std::size_t first = firstAtOrAfter(from, true);
    return {first, std::max(first, firstAtOrAfter(to, false))};
}

std::optional<ChartStats> ChartData::Stats(std::size_t series, double from, double to) const {
    const auto [first, last] = Between(from, to);
    ChartStats stats{std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 0};
    std::size_t count = 0;
    for (std::size_t i = first; i < last; ++i) {
        const double v = At(i).values[series];
        if (std::isnan(v))
            continue;
        stats.min = std::min(stats.min, v);
        stats.max = std::max(stats.max, v);
        stats.mean += v;
        ++count;
    }
    if (count == 0)
        return std::nullopt;
    stats.mean /= static_cast<double>(count);
    return stats;
}

const ChartSample* ChartData::SampleAt(double seconds) const {
    if (size_ == 0)
        return nullptr;
    const std::size_t after = Between(seconds, seconds).second;
    return &At(after == 0 ? 0 : after - 1);
}

std::string ChartData::Csv(double from, double to) const {
    std::string csv = "seconds";
    for (const ChartSeriesSpec& series : series_)
        csv.append(",").append(ColumnTitle(series));
    csv += "\n";
    const auto [first, last] = Between(from, to);
    for (std::size_t i = first; i < last; ++i) {
        const ChartSample& sample = At(i);
        csv += Number(sample.seconds);
        for (double v : sample.values)
            csv.append(",").append(Number(v));
        csv += "\n";
    }
    return csv;
}

}  // namespace ui
