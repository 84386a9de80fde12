// The chart control realised with Qt: its drawing, the buttons over it (pause, how much time,
// copy as CSV, save as PNG) and the lines under it (the values at the cursor, the range and mean
// of what is shown).
#pragma once

#include <QWidget>

#include "window/FormLayout.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace ui::qt {

class ChartPlot;

class ChartPanel : public QWidget {
  public:
    ChartPanel(const ControlSpec& spec, QWidget* parent);

    void Add(const ChartSample& sample);
    const ChartData& Data() const { return data_; }
    ChartView& View() { return view_; }
    ChartPlot* Plot() const { return plot_; }

  private:
    void ShowView();
    void CopyCsv();
    void SavePng();

    ChartData data_;
    ChartView view_;
    ChartPlot* plot_;
    QPushButton* pause_;
    QComboBox* span_;
    QLabel* readout_;
};

}  // namespace ui::qt
