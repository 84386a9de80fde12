// The parts of the window that both updaters draw the same way: the identity controls and the
// progress bar.
#pragma once

#include <string>
#include <vector>

#include "window/FormLayout.h"

namespace updater {

// Frame1 with the four captions and the four value labels that RefreshDeviceInfo fills.
std::vector<ui::ControlSpec> IdentityControls(const ui::Font& labelFont);

// The track Picture1 at trackTop and the fill Pic 60 twips inside it, in the fill's colour.
std::vector<ui::ControlSpec> ProgressBar(int trackTop);

// An updater's window without its buttons: its caption, client size (twips) and icon, then the
// identity controls and the progress bar, in tab order.
ui::FormLayout UpdaterWindow(std::string caption, int clientWidth, int clientHeight,
                             std::string iconName, const ui::Font& labelFont, int trackTop);

}  // namespace updater
