// The drawing of a chart, which takes the keyboard: Space pauses and resumes; while paused, Left
// and Right move the cursor a sample (with Shift, ten), Home and End to the first and last held,
// and the pointer places it where it rests.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "window/chart/ChartColumns.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

namespace ui::qt {

class ChartPlot : public QWidget {
  public:
    ChartPlot(const ChartData& data, ChartView& view, QWidget* parent);

    // After the user paused, resumed or moved the cursor.
    std::function<void()> viewChanged;

    void TogglePause();
    // The chart as drawn, without the focus frame: what Save PNG writes.
    QImage Image();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void CursorToPointer(double x);
    void Changed();

    const ChartData& data_;
    ChartView& view_;
    ChartColumns columns_;
};

}  // namespace ui::qt
