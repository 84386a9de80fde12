// The updaters' figures: the per-record cost of a whole update on the virtual clock, the Qt
// window's per-record cost, and how close a real-clock update comes to the sum of its delays.
#pragma once

#include "bench/MetricReport.h"
#include "bench/RunSize.h"

namespace bench {

void MeasureUpdaterCpu(MetricReport& report, const RunSize& size);
void MeasureQtProgress(MetricReport& report, const RunSize& size);
void MeasureAmpflashRealClock(MetricReport& report, const RunSize& size);

}  // namespace bench
