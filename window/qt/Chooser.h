// The Qt side of a Chooser: a non-editable QComboBox whose caption shows while nothing is chosen,
// and whose drop-down list is wide enough for its longest line.
#pragma once

#include <QComboBox>
#include <QWidget>
#include <string>
#include <vector>

namespace ui::qt {

QComboBox* CreateChooser(QWidget* parent);

// Replaces the lines; nothing is chosen afterwards, so the caption shows.
void SetChooserItems(QComboBox* chooser, const std::vector<std::string>& items);
// Chooses line `index`; any index the chooser has no line for chooses none.
void SetChooserChoice(QComboBox* chooser, int index);

}  // namespace ui::qt
