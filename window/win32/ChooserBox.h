// The Win32 side of a Chooser: a drop-down list COMBOBOX. Its window reaches down over its open
// list, so it is created taller than the closed box the layout gives; the closed box is then
// brought to the layout's height, and the open list widened to its longest line.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui::win32 {

// How many lines the open list shows before it scrolls; fewer lines make it shorter.
inline constexpr int kChooserListLines = 8;

// The height to create the chooser's window with: the closed box and the open list below it.
int ChooserWindowHeight(int closedHeight);
// After WM_SETFONT, which sizes the closed box by the font: back to the layout's height.
void FitChooserClosedHeight(HWND chooser, int closedHeight);

// Replaces the lines; nothing is chosen afterwards.
void SetChooserItems(HWND chooser, const std::vector<std::string>& items);
// Chooses line `index`; any index the chooser has no line for chooses none.
void SetChooserChoice(HWND chooser, int index);
int ChooserChoice(HWND chooser);
std::string ChooserLine(HWND chooser, int index);

// The caption shown while nothing is chosen. Only the common controls of version 6 (a program
// with their manifest) draw it; elsewhere the closed box stays empty until a line is chosen.
void ShowChooserCaption(HWND chooser, const std::string& caption);

}  // namespace ui::win32
