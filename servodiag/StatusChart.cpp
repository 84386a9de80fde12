#include "servodiag/StatusChart.h"

#include <chrono>
#include <limits>
#include <utility>

#include "servodiag/StatusReadout.h"

namespace servodiag {

namespace {

std::int64_t UtcNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::vector<ui::ChartSeriesSpec> StatusChartSeries() {
    return {{"Position", "°", ui::ChartSeriesKind::Line, {}},
            {"Bus voltage", "V", ui::ChartSeriesKind::Line, {}},
            {"USB errors", "", ui::ChartSeriesKind::Counter, {}},
            {"SPI errors", "", ui::ChartSeriesKind::Counter, {}},
            // By Estop's order.
            {"E-STOP", "", ui::ChartSeriesKind::Band, {"ok", "pressed", "bypassed"}},
            {"Not responding", "", ui::ChartSeriesKind::Band, {}}};
}

ui::ChartSample StatusChartSample(ChartTime when, const StatusValues* values,
                                  const std::string& device) {
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    ui::ChartSample sample{when.seconds, std::vector<double>(kNoAnswer + 1, kNone), device,
                           when.utcMilliseconds};
    sample.values[kNoAnswer] = values == nullptr ? 1 : 0;
    if (values == nullptr)
        return sample;
    if (values->amplifier)
        sample.values[kPosition] = values->amplifier->degrees;
    if (values->busVolts)
        sample.values[kBusVolts] = *values->busVolts;
    sample.values[kUsbErrors] = values->usbErrors;
    sample.values[kSpiErrors] = values->spiErrors;
    sample.values[kEstopState] = values->estop == Estop::Stop       ? 1
                                 : values->estop == Estop::Bypassed ? 2
                                                                    : 0;
    return sample;
}

std::string ChartDeviceName(const std::string& serial, const std::string& port,
                            const std::string& path) {
    // The identity label sets the serial number off with a space.
    const std::size_t first = serial.find_first_not_of(' ');
    if (first == std::string::npos)
        return port.empty() ? path : "port " + port;
    const std::string name = serial.substr(first, serial.find_last_not_of(' ') + 1 - first);
    // Two devices may report one serial number (clones, an unset one): the port tells them apart.
    return port.empty() ? name : name + " on port " + port;
}

StatusChartClock::StatusChartClock(std::function<std::int64_t()> monotonicMs,
                                   std::function<std::int64_t()> utcMs)
    : monotonicMs_(monotonicMs ? std::move(monotonicMs) : SteadyMilliseconds),
      utcMs_(utcMs ? std::move(utcMs) : UtcNowMs) {}

ChartTime StatusChartClock::Now() {
    const std::int64_t now = monotonicMs_();
    if (!started_) {
        started_ = true;
        startMs_ = now;
        startUtcMs_ = utcMs_();
    }
    return {double(now - startMs_) / 1000, startUtcMs_ + (now - startMs_)};
}

}  // namespace servodiag
