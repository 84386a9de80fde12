#include "window/chart/ChartText.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "common/UtcTime.h"

namespace ui {

namespace {

// At most two decimals, without trailing zeros: volts to the hundredth, degrees to the hundredth.
std::string Decimal(double value) {
    if (!std::isfinite(value))
        return value > 0 ? "inf" : value < 0 ? "-inf" : "none";
    // Past the hundredths' reach "%.2f" would write hundreds of digits.
    if (std::abs(value) >= 1e15) {
        char wide[32];
        std::snprintf(wide, sizeof wide, "%.6g", value);
        return wide;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", std::round(value * 100) / 100 + 0.0);
    std::string text = buf;
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string WithUnit(const std::string& number, const ChartSeriesSpec& series) {
    return series.unit.empty() ? number : number + " " + series.unit;
}

}  // namespace

std::string TickText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::abs(value) < 1e-9 ? 0 : value);
    return text;
}

std::string CsvNumber(double value) {
    if (std::isnan(value))
        return {};
    // Milli-units: shorter rows, and no 0.30000000000000004. Past a billion they have no
    // milli-units left to round, and value * 1000 may overflow.
    const double rounded = std::abs(value) < 1e9 ? std::round(value * 1000) / 1000 : value;
    char buf[32];
    const std::to_chars_result end = std::to_chars(buf, buf + sizeof buf, rounded);
    return std::string(buf, end.ptr);
}

std::string UtcText(std::int64_t milliseconds) {
    // The system clock counts nanoseconds in 64 bits: 292 years either side of 1970.
    constexpr std::int64_t kFarthest = std::int64_t{9} * 1000 * 1000 * 1000 * 1000;
    if (milliseconds == 0 || milliseconds > kFarthest || milliseconds < -kFarthest)
        return {};
    return common::UtcMilliseconds(
        std::chrono::system_clock::time_point(std::chrono::milliseconds(milliseconds)));
}

std::optional<std::string> StateName(const ChartSeriesSpec& series, double value) {
    if (series.kind != ChartSeriesKind::Band || series.states.empty() || !(value >= 0) ||
        value >= double(series.states.size()) || value != std::floor(value))
        return std::nullopt;
    return series.states[std::size_t(value)];
}

std::string ChartValueText(const ChartSeriesSpec& series, double value) {
    if (std::isnan(value))
        return "none";
    if (series.kind == ChartSeriesKind::Band) {
        if (const std::optional<std::string> state = StateName(series, value))
            return *state;
        return value != 0 ? "yes" : "no";
    }
    return WithUnit(Decimal(value), series);
}

std::string CursorText(const ChartData& data, std::size_t index) {
    if (index >= data.Size())
        return {};
    const ChartSample* sample = &data.At(index);
    // Appended, not added: GCC 12 at -O3 warns falsely about a literal + a temporary string.
    std::string text = std::string("At ").append(Decimal(sample->seconds)).append(" s");
    if (const std::string utc = UtcText(sample->utcMilliseconds); !utc.empty())
        text.append(" (").append(utc).append(")");
    if (!sample->device.empty())
        text.append(", device ").append(sample->device);
    text.append(":");
    for (std::size_t i = 0; i < data.Series().size(); ++i) {
        text.append(i == 0 ? " " : ", ")
            .append(data.Series()[i].name)
            .append(" ")
            .append(ChartValueText(data.Series()[i], sample->values[i]));
    }
    return text;
}

std::string StatsText(const ChartData& data, TimeSpan shown) {
    std::string text;
    const auto [first, last] = data.Between(shown.from, shown.to);
    for (std::size_t i = data.DeviceStart(first, last); i < last; ++i) {
        if (!data.At(i).device.empty()) {
            text.append("device ").append(data.At(i).device).append(", ");
            break;
        }
    }
    const std::size_t prefix = text.size();
    for (std::size_t i = 0; i < data.Series().size(); ++i) {
        const ChartSeriesSpec& series = data.Series()[i];
        if (series.kind != ChartSeriesKind::Line)
            continue;
        const auto stats = data.Stats(i, shown.from, shown.to);
        if (text.size() > prefix)
            text += "; ";
        text.append(series.name);
        if (!stats) {
            text.append(" none");
            continue;
        }
        text.append(" min ")
            .append(Decimal(stats->min))
            .append(", max ")
            .append(Decimal(stats->max))
            .append(", mean ")
            .append(WithUnit(Decimal(stats->mean), series));
    }
    return text;
}

}  // namespace ui
