// The Win32 side of a Chooser: a drop-down list COMBOBOX. Its window reaches down over its open
// list, so it is created taller than the closed box the layout gives; the closed box is then
// brought to the layout's height, and the open list widened to its longest line. Its lines are
// drawn by the form, so that the closed box shows the caption ("Choose a device") in grey while
// nothing is chosen, on every version of the common controls.
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

// The window style of a chooser.
inline constexpr DWORD kChooserStyle =
    CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;

// Replaces the lines; nothing is chosen afterwards.
void SetChooserItems(HWND chooser, const std::vector<std::string>& items, int dpi);
// Chooses line `index`; any index the chooser has no line for chooses none.
void SetChooserChoice(HWND chooser, int index);
int ChooserChoice(HWND chooser);
bool ChooserListOpen(HWND chooser);

// Draws one line of a chooser for WM_DRAWITEM, or `caption` in grey in the closed box while no
// line is chosen. False for an item that is not a chooser's.
bool DrawChooserItem(const DRAWITEMSTRUCT& item, const std::wstring& caption);

}  // namespace ui::win32
