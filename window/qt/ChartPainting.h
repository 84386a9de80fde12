// Draws a chart's samples with QPainter: a panel per line series with its axis, name and unit;
// the counters' growth as marks on a strip under them; the bands shaded across all; the time
// axis; and, while paused, the cursor.
#pragma once

#include <QPainter>
#include <QRect>

#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui::qt {

// Where the samples go inside `area`: what is left of it after the axes' labels.
QRectF PlotArea(const QRect& area, const QFontMetrics& metrics);

void PaintChart(QPainter& painter, const QRect& area, const ChartData& data, const ChartView& view);

}  // namespace ui::qt
