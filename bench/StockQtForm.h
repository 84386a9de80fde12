// The least a Qt program showing a layout's content can cost per tick: one stock Qt widget per
// control, of the same kind, place, font and caption (a chart: StockChart, of the same size,
// showing as much time), and a timer that sets the texts a program's ticks set and adds their
// chart readings, with nothing of the window layer in between. servodiag's Qt tick is judged
// against it: what is left above it is the program's and the window layer's own cost.
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "window/FormLayout.h"
#include "window/chart/ChartData.h"

class QApplication;

namespace bench {

// The texts one tick changes: control name and its new text, in the order they were set.
using TickTexts = std::vector<std::pair<std::string, std::string>>;

// What one tick changes: its texts, and the readings it added to the chart.
struct TickChanges {
    TickTexts texts;
    std::vector<ui::ChartSample> chartSamples;
};

class StockQtForm {
  public:
    explicit StockQtForm(const ui::FormLayout& layout);
    ~StockQtForm();
    StockQtForm(const StockQtForm&) = delete;
    StockQtForm& operator=(const StockQtForm&) = delete;

    // Shows the form and runs Qt's event loop for `ticks` ticks `intervalMs` apart, tick i making
    // the changes of changes[i % changes.size()]. A tick costs the thread's CPU from its start to
    // the next one's (the texts, the paint they cause, the loop's wait); returns the median.
    double CpuPerTick(const std::vector<TickChanges>& changes, int intervalMs, int ticks);

  private:
    struct Widget {
        ui::ControlKind kind;
        QWidget* widget;  // owned by the form
    };

    void Create(const ui::ControlSpec& spec);
    void SetText(const std::string& control, const std::string& text);
    void AddChartSample(const ui::ChartSample& sample);

    // The same application set-up as the programs' windows: the same fonts resolve.
    std::shared_ptr<QApplication> application_;
    ui::FormLayout layout_;
    double dpi_ = 96;
    std::unique_ptr<QWidget> form_;
    std::map<std::string, Widget> widgets_;
};

}  // namespace bench
