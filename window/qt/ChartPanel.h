// The chart control realised with Qt: its drawing, the buttons over it (pause, how much time,
// copy as CSV, save as PNG, fold) and the lines under it (the values at the cursor, the range and
// mean of what is shown). Folded, only its buttons' row is left: the window shrinks by the rest,
// for screens too small for the whole window.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "window/FormLayout.h"
#include "window/chart/ChartData.h"
#include "window/chart/ChartView.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace ui::qt {

class ChartPlot;
class ReadoutBox;

class ChartPanel : public QWidget {
  public:
    // foldMemory: the file that keeps whether the user folded it (window/chart/FoldMemory.h).
    ChartPanel(const ControlSpec& spec, std::string foldMemory, QWidget* parent);

    void Add(const ChartSample& sample);
    const ChartData& Data() const { return data_; }
    ChartView& View() { return view_; }
    ChartPlot* Plot() const { return plot_; }

    // Told by how many pixels the panel grew when it folded (negative) or unfolded.
    std::function<void(int)> heightChanged;
    // As the user left it last time; unfolded the first time.
    void FoldAsRemembered();
    void SetFolded(bool folded);
    bool Folded() const { return folded_; }

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
    ReadoutBox* readoutBox_;  // the readout's parent, in the panel's layout
    QPushButton* fold_;
    std::vector<QWidget*> foldAway_;  // everything but the fold button
    std::string foldMemory_;
    bool folded_ = false;
    int unfoldedHeight_ = 0;
};

}  // namespace ui::qt
