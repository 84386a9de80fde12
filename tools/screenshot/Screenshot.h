// Window pictures without a display: a window rendered offscreen into a PNG file.
#pragma once

#include <functional>
#include <string>

#include "window/FormLayout.h"
#include "window/Window.h"

namespace screenshot {

// Saves the client area of a window of the Qt window layer as PNG, as its screen shows it. Returns
// 0 on success, 1 when the window is not a Qt window or the file cannot be written.
int SaveWindowPng(ui::Window& window, const std::string& path);

// Realises `layout`, lets `fill` put values into it as the program would, shows it and saves it.
int RenderLayoutToPng(const ui::FormLayout& layout, const std::string& path,
                      const std::function<void(ui::Window&)>& fill);

}  // namespace screenshot
