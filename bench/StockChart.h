// The least a Qt chart of servodiag's readings can cost to draw: each line series as one QPainter
// polyline in its own strip of the area, scaled to the values shown, of at most four points per
// pixel column (the column's first, lowest, highest and last value: the shape a line through
// every sample would draw there). No axes, labels, marks, bands or cursor: servodiag's chart is
// judged against it for the drawing of its lines.
#pragma once

#include <QPainter>
#include <QRect>
#include <QWidget>
#include <cstddef>
#include <vector>

#include "window/chart/ChartData.h"

namespace bench {

// One pixel column's values of a series, in time order.
struct PixelColumn {
    double first = 0;
    double min = 0;
    double max = 0;
    double last = 0;
    bool any = false;
};

// The finite values of `series` in samples [first, last), by pixel column across `width`
// columns spanning `from` to `from + span` seconds.
std::vector<PixelColumn> DecimateByPixel(const ui::ChartData& data, std::size_t series,
                                         std::size_t first, std::size_t last, double from,
                                         double span, int width);

// The latest `spanSeconds` of the data's line series into `area`.
void DrawStockChart(QPainter& painter, const QRect& area, const ui::ChartData& data,
                    double spanSeconds);

// A plain widget that draws DrawStockChart of the samples given it.
class StockChart : public QWidget {
  public:
    StockChart(const ui::ControlSpec& spec, double spanSeconds, QWidget* parent);
    void Add(const ui::ChartSample& sample);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ui::ChartData data_;
    double spanSeconds_;
};

}  // namespace bench
