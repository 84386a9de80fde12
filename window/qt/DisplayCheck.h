// Whether Qt can open a window here, asked before a QApplication exists: without a display Qt
// aborts the process, with a message that sends users the wrong way.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace ui::qt {

using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// True when DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM names a platform that needs
// no display server (offscreen, minimal, linuxfb, eglfs, vnc, ...).
bool DisplayAvailable(const EnvironmentLookup& environment);

}  // namespace ui::qt
