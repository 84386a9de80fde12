// The wheel-controller updater's window: the device's identity, the progress bar and the two
// buttons, "Upgrade Firmware" (the whole upgrade) and "2. Load Firmware" (the transfer alone).
#pragma once

#include "window/FormLayout.h"

namespace wheelflash {

ui::FormLayout WheelflashLayout();

}  // namespace wheelflash
