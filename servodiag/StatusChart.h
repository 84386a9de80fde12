// The chart under servodiag's status column: the series it draws from every status reading, the
// sample one reading makes, and the clock that places readings on the chart's axis. Live readings
// and replayed recordings make the same samples on the same axis: seconds from the first reading.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "servodiag/StatusValues.h"
#include "window/FormLayout.h"
#include "window/chart/ChartData.h"

namespace servodiag {

inline constexpr char kChartControl[] = "chtStatus";

// The series' order, which is the order of each sample's values.
enum StatusSeries { kPosition, kBusVolts, kUsbErrors, kSpiErrors, kEstopState, kNoAnswer };

std::vector<ui::ChartSeriesSpec> StatusChartSeries();

// When a reading was taken: on the chart's axis, and as UTC.
struct ChartTime {
    double seconds = 0;
    std::int64_t utcMilliseconds = 0;
};

// `values` is null when the device did not answer: only the no-answer band has a value then.
// `device` names the device read, empty for none.
ui::ChartSample StatusChartSample(ChartTime when, const StatusValues* values,
                                  const std::string& device);

// How the chart names a device: its serial number and port; where it reports no serial, its
// port, or its path where the platform tells no port.
std::string ChartDeviceName(const std::string& serial, const std::string& port,
                            const std::string& path);

// Places each reading at the time it was taken, on a monotonic clock (the program's steady clock,
// or a test's virtual one), from the first reading on: a read that blocks shows as the time it
// took. The UTC time is the wall clock's at the first reading plus the monotonic time since, so
// that a wall clock set while running moves no reading.
class StatusChartClock {
  public:
    explicit StatusChartClock(std::function<std::int64_t()> monotonicMs = {},
                              std::function<std::int64_t()> utcMs = {});
    ChartTime Now();

  private:
    std::function<std::int64_t()> monotonicMs_;
    std::function<std::int64_t()> utcMs_;
    bool started_ = false;
    std::int64_t startMs_ = 0;
    std::int64_t startUtcMs_ = 0;
};

}  // namespace servodiag
