// Draws a chart's picture (window/chart/ChartPicture.h) with QPainter.
#pragma once

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include "window/chart/ChartColumns.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartPicture.h"
#include "window/chart/ChartView.h"

namespace ui::qt {

TextMeasure MeasureOf(const QFontMetrics& metrics);

void DrawPicture(QPainter& painter, const ChartPicture& picture);

// The picture of the chart, without the words at its foot (Qt shows them under the drawing), drawn
// at `area`'s top left.
void PaintChart(QPainter& painter, const QRect& area, const ChartData& data, const ChartView& view,
                ChartColumns& columns);

}  // namespace ui::qt
