#include "window/chart/ChartText.h"

#include <cmath>
#include <cstdio>

namespace ui {

namespace {

// At most two decimals, without trailing zeros: volts to the hundredth, degrees to the hundredth.
std::string Decimal(double value) {
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

std::string ChartValueText(const ChartSeriesSpec& series, double value) {
    if (std::isnan(value))
        return "none";
    if (series.kind == ChartSeriesKind::Band)
        return value != 0 ? "yes" : "no";
    return WithUnit(Decimal(value), series);
}

std::string CursorText(const ChartData& data, double seconds) {
    const ChartSample* sample = data.SampleAt(seconds);
    if (sample == nullptr)
        return {};
    // Appended, not added: GCC 12 at -O3 warns falsely about a literal + a temporary string.
    std::string text = std::string("At ").append(Decimal(sample->seconds)).append(" s:");
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
    for (std::size_t i = 0; i < data.Series().size(); ++i) {
        const ChartSeriesSpec& series = data.Series()[i];
        if (series.kind != ChartSeriesKind::Line)
            continue;
        const auto stats = data.Stats(i, shown.from, shown.to);
        if (!text.empty())
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
