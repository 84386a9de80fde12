#include "window/chart/ChartData.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "window/chart/ChartText.h"

namespace ui {

namespace {

// A device's name as it came, quoted where it holds what would break the row.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
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
            ChartSample{0, std::vector<double>(series_.size()), {}, 0}),
      startsDevice_(ring_.size()) {}

void ChartData::Add(const ChartSample& sample) {
    if (!std::isfinite(sample.seconds) || (size_ > 0 && sample.seconds < Latest()->seconds))
        return;
    const std::size_t at = (first_ + size_) % ring_.size();
    ChartSample& slot = ring_[at];
    slot.seconds = sample.seconds;
    slot.device = sample.device;
    slot.utcMilliseconds = sample.utcMilliseconds;
    startsDevice_[at] =
        !sample.device.empty() && !lastDevice_.empty() && sample.device != lastDevice_;
    if (!sample.device.empty())
        lastDevice_ = sample.device;
    const std::size_t given = std::min(sample.values.size(), series_.size());
    std::copy_n(sample.values.begin(), given, slot.values.begin());
    std::fill(slot.values.begin() + std::ptrdiff_t(given), slot.values.end(),
              std::numeric_limits<double>::quiet_NaN());
    if (size_ < ring_.size())
        ++size_;
    else
        first_ = (first_ + 1) % ring_.size();
    ++added_;
}

std::size_t ChartData::Bytes() const {
    std::size_t names = 0;
    for (const ChartSample& slot : ring_)
        names += slot.device.capacity() > sizeof(std::string) ? slot.device.capacity() : 0;
    return sizeof(*this) + names +
           ring_.size() * (sizeof(ChartSample) + series_.size() * sizeof(double)) +
           startsDevice_.size() / 8;
}

// The chart reads every sample shown several times a tick: a division each time cost more than
// the reading, and the slot is before the ring's end more often than not.
std::size_t ChartData::Slot(std::size_t index) const {
    const std::size_t at = first_ + index;
    return at < ring_.size() ? at : at % ring_.size();
}

const ChartSample& ChartData::At(std::size_t index) const {
    return ring_[Slot(index)];
}

bool ChartData::StartsDevice(std::size_t index) const {
    return startsDevice_[Slot(index)];
}

std::size_t ChartData::DeviceStart(std::size_t first, std::size_t last) const {
    for (std::size_t i = last; i > first; --i) {
        if (StartsDevice(i - 1))
            return i - 1;
    }
    return first;
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
    const auto [shownFirst, last] = Between(from, to);
    const std::size_t first = DeviceStart(shownFirst, last);
    ChartStats stats{std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 0};
    std::size_t count = 0;
    for (std::size_t i = first; i < last; ++i) {
        const double v = At(i).values[series];
        if (!std::isfinite(v))
            continue;
        stats.min = std::min(stats.min, v);
        stats.max = std::max(stats.max, v);
        stats.mean += v;
        ++count;
    }
    if (count == 0)
        return std::nullopt;
    // A sum of huge values overflows where their mean would not.
    if (!std::isfinite(stats.mean))
        stats.mean = (stats.min + stats.max) / 2;
    else
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
    std::string csv = "seconds,UTC,device";
    for (const ChartSeriesSpec& series : series_)
        csv.append(",").append(ColumnTitle(series));
    csv += "\n";
    const auto [first, last] = Between(from, to);
    for (std::size_t i = first; i < last; ++i) {
        const ChartSample& sample = At(i);
        csv += CsvNumber(sample.seconds);
        csv.append(",").append(UtcText(sample.utcMilliseconds));
        csv.append(",").append(CsvField(sample.device));
        for (std::size_t s = 0; s < series_.size(); ++s) {
            const std::optional<std::string> state = StateName(series_[s], sample.values[s]);
            csv.append(",").append(state ? *state : CsvNumber(sample.values[s]));
        }
        csv += "\n";
    }
    return csv;
}

}  // namespace ui
