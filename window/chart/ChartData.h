// The samples a chart holds, window-independent: a ring of the latest samples, and what the chart
// shows of them (the values over a stretch of time, their range and mean, the value at a time,
// the same stretch as CSV). Each toolkit draws from it; the headless window keeps one for tests.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/FormLayout.h"

namespace ui {

// One moment of every series, in the chart's series order. NaN: no value then (the device did
// not answer, or did not have the value).
struct ChartSample {
    double seconds = 0;
    std::vector<double> values;
};

struct ChartStats {
    double min = 0;
    double max = 0;
    double mean = 0;
};

class ChartData {
  public:
    // Ten minutes of samples 200 ms apart: the longest stretch the chart shows.
    static constexpr std::size_t kDefaultCapacity = std::size_t{10} * 60 * 5;

    // capacity 0 takes kDefaultCapacity.
    ChartData(std::vector<ChartSeriesSpec> series, std::size_t capacity);

    // Samples come in time order; once the ring is full, each drops the oldest. Missing values
    // read as NaN, extra ones are dropped.
    void Add(const ChartSample& sample);

    const std::vector<ChartSeriesSpec>& Series() const { return series_; }
    std::size_t Size() const { return size_; }
    std::size_t Capacity() const { return ring_.size(); }
    // What the samples take in memory, all of it from the start.
    std::size_t Bytes() const;
    // From 0, the oldest held.
    const ChartSample& At(std::size_t index) const;
    const ChartSample* Latest() const { return size_ == 0 ? nullptr : &At(size_ - 1); }

    // The indexes [first, last) of the samples from `from` to `to`, both included.
    std::pair<std::size_t, std::size_t> Between(double from, double to) const;
    // The range and mean of one series' values from `from` to `to`; none when it has none.
    std::optional<ChartStats> Stats(std::size_t series, double from, double to) const;
    // The latest sample at or before `seconds`, else the first one; null when empty.
    const ChartSample* SampleAt(double seconds) const;
    // The samples from `from` to `to` as CSV: a header of "seconds" and each series' name and
    // unit, then a row per sample, an absent value left empty; rows end in "\n".
    std::string Csv(double from, double to) const;

  private:
    std::vector<ChartSeriesSpec> series_;
    std::vector<ChartSample> ring_;
    std::size_t first_ = 0;  // where the oldest sample is in ring_
    std::size_t size_ = 0;
};

}  // namespace ui
