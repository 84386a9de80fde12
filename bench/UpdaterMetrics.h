// The updaters' figures: the per-record cost of a whole update on the virtual clock, the Qt
// window's per-record cost, and a real-clock update beside the same delays taken with no work.
#pragma once

#include "bench/MetricReport.h"
#include "bench/RunSize.h"

namespace bench {

void MeasureUpdaterCpu(MetricReport& report, const RunSize& size);
void MeasureQtProgress(MetricReport& report, const RunSize& size);
void MeasureAmpflashRealClock(MetricReport& report, const RunSize& size);

}  // namespace bench
