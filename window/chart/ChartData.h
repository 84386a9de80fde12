// The samples a chart holds, window-independent: a ring of the latest samples, and what the chart
// shows of them (the values over a stretch of time, their range and mean, the value at a time,
// the same stretch as CSV). Each toolkit draws from it; the headless window keeps one for tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/FormLayout.h"

namespace ui {

// One moment of every series, in the chart's series order. NaN: no value then (the device did
// not answer, or did not have the value).
struct ChartSample {
    double seconds = 0;  // on the chart's axis: from the first reading, on a monotonic clock
    std::vector<double> values;
    // The device read (its serial number, or what else tells it apart); empty when none answered.
    // A sample of another device than the last one named starts afresh: the chart marks the
    // switch, and its ranges, means and counters' marks count from there.
    std::string device;
    // When it was read, UTC milliseconds since 1970; 0 when unknown.
    std::int64_t utcMilliseconds = 0;
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
    // read as NaN, extra ones are dropped. A sample at no finite time, or earlier than the
    // latest, is dropped whole: every search relies on the order.
    void Add(const ChartSample& sample);

    const std::vector<ChartSeriesSpec>& Series() const { return series_; }
    std::size_t Size() const { return size_; }
    std::size_t Capacity() const { return ring_.size(); }
    // What the samples take in memory, all of it from the start.
    std::size_t Bytes() const;
    // From 0, the oldest held.
    const ChartSample& At(std::size_t index) const;
    const ChartSample* Latest() const { return size_ == 0 ? nullptr : &At(size_ - 1); }
    // Samples added since the chart began, dropped ones included: a sample's index is
    // its number minus (Added() - Size()).
    std::size_t Added() const { return added_; }
    // Whether the sample at `index` is the first of another device than the one read before it.
    bool StartsDevice(std::size_t index) const;
    // Where the values of [first, last) that belong together begin: the last device switch in
    // it, else first.
    std::size_t DeviceStart(std::size_t first, std::size_t last) const;

    // The indexes [first, last) of the samples from `from` to `to`, both included.
    std::pair<std::size_t, std::size_t> Between(double from, double to) const;
    // The range and mean of one series' finite values from `from` to `to`, counted from the
    // last device switch among them; none when it has none.
    std::optional<ChartStats> Stats(std::size_t series, double from, double to) const;
    // The latest sample at or before `seconds`, else the first one; null when empty.
    const ChartSample* SampleAt(double seconds) const;
    // The samples from `from` to `to` as CSV: a header of "seconds", "UTC", "device" and each
    // series' name and unit, then a row per sample, an absent value left empty, a state by its
    // name; rows end in "\n".
    std::string Csv(double from, double to) const;

  private:
    std::size_t Slot(std::size_t index) const;  // where the sample `index` is in ring_

    std::vector<ChartSeriesSpec> series_;
    std::vector<ChartSample> ring_;
    std::vector<bool> startsDevice_;  // beside ring_
    std::size_t first_ = 0;           // where the oldest sample is in ring_
    std::size_t size_ = 0;
    std::size_t added_ = 0;
    std::string lastDevice_;  // the last device named, through samples that name none
};

}  // namespace ui
