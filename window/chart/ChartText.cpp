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
    std::string text = "At " + Decimal(sample->seconds) + " s:";
    for (std::size_t i = 0; i < data.Series().size(); ++i) {
        text += (i == 0 ? " " : ", ") + data.Series()[i].name + " " +
                ChartValueText(data.Series()[i], sample->values[i]);
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
        text +=
            series.name + (stats ? " min " + Decimal(stats->min) + ", max " + Decimal(stats->max) +
                                       ", mean " + WithUnit(Decimal(stats->mean), series)
                                 : " none");
    }
    return text;
}

}  // namespace ui
