// servodiag's figures: a status tick's cost headless and with the Qt window (beside stock Qt
// widgets showing the same), and how long the window takes to be drawn after the start.
#pragma once

#include "bench/MetricReport.h"
#include "bench/RunSize.h"

namespace bench {

void MeasureFirstPaint(MetricReport& report);
void MeasureHeadlessTick(MetricReport& report, const RunSize& size);
void MeasureQtTick(MetricReport& report, const RunSize& size);

}  // namespace bench
