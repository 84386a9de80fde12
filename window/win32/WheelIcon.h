// The window's own icon, drawn in code so that no resource file is needed: a steering wheel
// (rim, three spokes, hub) with a top marker whose colour tells the programs apart.
#pragma once

#include <windows.h>

#include <string>

namespace ui::win32 {

// A size × size icon; iconName picks the marker colour ("servodiag", "ampflash",
// "wheelflash"; any other name gets the default). The caller destroys it with DestroyIcon.
HICON CreateWheelIcon(int size, const std::string& iconName);

}  // namespace ui::win32
