#include "bench/StockChart.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace bench {

std::vector<PixelColumn> DecimateByPixel(const ui::ChartData& data, std::size_t series,
                                         std::size_t first, std::size_t last, double from,
                                         double span, int width) {
    std::vector<PixelColumn> columns(static_cast<std::size_t>(std::max(width, 0)));
    if (columns.empty() || span <= 0)
        return columns;
    for (std::size_t i = first; i < last; ++i) {
        const ui::ChartSample& sample = data.At(i);
        const double value = sample.values[series];
        if (!std::isfinite(value))
            continue;
        const double across = (sample.seconds - from) / span * width;
        const auto x = static_cast<std::size_t>(std::clamp(across, 0.0, width - 1.0));
        PixelColumn& column = columns[x];
        if (!column.any) {
            column = {value, value, value, value, true};
            continue;
        }
        column.min = std::min(column.min, value);
        column.max = std::max(column.max, value);
        column.last = value;
    }
    return columns;
}

void DrawStockChart(QPainter& painter, const QRect& area, const ui::ChartData& data,
                    double spanSeconds) {
    painter.fillRect(area, Qt::white);
    const ui::ChartSample* latest = data.Latest();
    if (latest == nullptr)
        return;
    const double from = latest->seconds - spanSeconds;
    const auto [first, last] = data.Between(from, latest->seconds);
    std::vector<std::size_t> lines;
    for (std::size_t s = 0; s < data.Series().size(); ++s) {
        if (data.Series()[s].kind == ui::ChartSeriesKind::Line)
            lines.push_back(s);
    }
    if (lines.empty())
        return;
    const double strip = double(area.height()) / double(lines.size());
    painter.setPen(Qt::black);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::vector<PixelColumn> columns =
            DecimateByPixel(data, lines[n], first, last, from, spanSeconds, area.width());
        double low = INFINITY;
        double high = -INFINITY;
        for (const PixelColumn& column : columns) {
            if (column.any) {
                low = std::min(low, column.min);
                high = std::max(high, column.max);
            }
        }
        const double top = area.top() + strip * double(n);
        const double scale = high > low ? strip / (high - low) : 0;
        auto y = [&](double value) { return top + strip - (value - low) * scale; };
        QPolygonF points;
        for (std::size_t x = 0; x < columns.size(); ++x) {
            const PixelColumn& c = columns[x];
            if (!c.any)
                continue;
            const double px = area.left() + double(x);
            for (const double value : {c.first, c.min, c.max, c.last})
                points << QPointF(px, y(value));
        }
        painter.drawPolyline(points);
    }
}

StockChart::StockChart(const ui::ControlSpec& spec, double spanSeconds, QWidget* parent)
    : QWidget(parent), data_(spec.chartSeries, spec.chartCapacity), spanSeconds_(spanSeconds) {}

void StockChart::Add(const ui::ChartSample& sample) {
    data_.Add(sample);
    update();
}

void StockChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    DrawStockChart(painter, rect(), data_, spanSeconds_);
}

}  // namespace bench
