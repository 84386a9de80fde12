// servodiag's chart with ten minutes of readings held and shown: what one more reading costs (the
// sample added and the whole chart drawn again), and the memory its samples take.
#pragma once

#include "bench/MetricReport.h"
#include "bench/RunSize.h"

namespace bench {

void MeasureChartTick(MetricReport& report, const RunSize& size);

}  // namespace bench
