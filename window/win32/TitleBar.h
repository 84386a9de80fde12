// How wide a window must be for its title bar to show the title whole.
#pragma once

#include <string>

namespace ui::win32 {

// The title in the system's caption font, beside the window's icon and its three buttons, in
// pixels of the outer window at `dpi`.
int TitleBarWidth(const std::wstring& title, int dpi);

}  // namespace ui::win32
