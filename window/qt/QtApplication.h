// The one QApplication of the process, created on first need so that programs and tests alike
// only ask for a window.
#pragma once

namespace ui::qt {

// Creates the application object when none exists yet and sets it up for these windows: fonts of
// the classic forms mapped to metric-compatible faces, and no quitting behind the window's back.
void EnsureApplication();

}  // namespace ui::qt
