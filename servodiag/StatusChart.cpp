#include "servodiag/StatusChart.h"

#include <limits>

namespace servodiag {

std::vector<ui::ChartSeriesSpec> StatusChartSeries() {
    return {{"Position", "°", ui::ChartSeriesKind::Line},
            {"Bus voltage", "V", ui::ChartSeriesKind::Line},
            {"USB errors", "", ui::ChartSeriesKind::Counter},
            {"SPI errors", "", ui::ChartSeriesKind::Counter},
            {"E-STOP pressed", "", ui::ChartSeriesKind::Band},
            {"Not responding", "", ui::ChartSeriesKind::Band}};
}

ui::ChartSample StatusChartSample(double seconds, const StatusValues* values) {
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    ui::ChartSample sample{seconds, std::vector<double>(kNoAnswer + 1, kNone)};
    sample.values[kNoAnswer] = values == nullptr ? 1 : 0;
    if (values == nullptr)
        return sample;
    if (values->amplifier)
        sample.values[kPosition] = values->amplifier->degrees;
    if (values->busVolts)
        sample.values[kBusVolts] = *values->busVolts;
    sample.values[kUsbErrors] = values->usbErrors;
    sample.values[kSpiErrors] = values->spiErrors;
    sample.values[kEstopPressed] = values->estop == Estop::Stop ? 1 : 0;
    return sample;
}

}  // namespace servodiag
