// The chart under servodiag's status column: the series it draws from every status reading, and
// the sample one reading makes. Live readings and replayed recordings make the same samples.
#pragma once

#include <vector>

#include "servodiag/StatusValues.h"
#include "window/FormLayout.h"
#include "window/chart/ChartData.h"

namespace servodiag {

inline constexpr char kChartControl[] = "chtStatus";

// The series' order, which is the order of each sample's values.
enum StatusSeries { kPosition, kBusVolts, kUsbErrors, kSpiErrors, kEstopPressed, kNoAnswer };

std::vector<ui::ChartSeriesSpec> StatusChartSeries();

// `values` is null when the device did not answer: only the no-answer band has a value then.
ui::ChartSample StatusChartSample(double seconds, const StatusValues* values);

}  // namespace servodiag
