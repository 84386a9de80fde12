// A window that uses every kind of control, in the style of the programs' windows, for looking at
// the window layer without a device: the demo window and the screenshot tool show it.
#pragma once

#include "window/FormLayout.h"
#include "window/Window.h"

namespace demo {

ui::FormLayout DemoLayout();

// Fills the demo window as a found device would: identity values, two fields, a half-done fill.
void FillDemoWindow(ui::Window& window);

}  // namespace demo
