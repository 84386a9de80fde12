// What a chart's picture works out from its samples: round axis steps, a line's value range, the
// runs of a band, the counters' marks, the device switches, a line's point in a column. Whatever
// the samples (huge, infinite, NaN), each is bounded in time and memory: a chart is drawn from
// values a device or a file sent.
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "window/chart/ChartData.h"

namespace ui {

// A round step (1, 2 or 5 times a power of ten) that gives about `count` ticks over [low, high];
// 0 when the range has no finite, positive width.
double TickStep(double low, double high, int count);
// The ticks at that step from low to high: none when there is no step, never more than a few
// times `count`.
std::vector<double> Ticks(double low, double high, int count);

struct ValueRange {
    double low = 0;
    double high = 1;
};
// The values' range with a margin, so that the line never runs along the panel's edge; finite,
// with a finite width, however far apart the values.
ValueRange PaddedRange(const std::optional<ChartStats>& stats);

// How far `value` is from low (0) to high (1), without overflowing on the way; 0 on a range
// without width and for a value that is not finite, clamped far outside [0, 1] so that a pixel
// made from it fits an int.
double Fraction(double value, double low, double high);
// A pixel coordinate from a position that may be anything.
int Pixel(double position);

struct BandRun {
    std::size_t first = 0;  // the samples [first, last]
    std::size_t last = 0;
    double value = 0;  // the state held
};
// Each run of one non-zero state of a band within `shown`.
std::vector<BandRun> BandRuns(const ChartData& data, std::size_t series,
                              std::pair<std::size_t, std::size_t> shown);

// The samples within `shown` at which a counter grew: higher than its previous value read from
// the same device. A device's first value is where its count starts, not errors that came.
std::vector<std::size_t> CounterRises(const ChartData& data, std::size_t series,
                                      std::pair<std::size_t, std::size_t> shown);

// The samples within `shown` that begin another device.
std::vector<std::size_t> DeviceSwitches(const ChartData& data,
                                        std::pair<std::size_t, std::size_t> shown);

// A point of a line: its pixel column and its value.
struct StrokePoint {
    int x = 0;
    double value = 0;
};

}  // namespace ui
