// How discovery's cost grows with the number of HID interfaces: on the simulated bus (the device
// searched for comes last) and on the hidraw backend over a sysfs tree, beside the bare system
// calls that search makes.
#pragma once

#include "bench/MetricReport.h"
#include "bench/RunSize.h"

namespace bench {

void MeasureSimDiscovery(MetricReport& report, const RunSize& size);
void MeasureHidrawDiscovery(MetricReport& report, const RunSize& size);

}  // namespace bench
