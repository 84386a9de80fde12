// What each program shows with its device attached: the program's own handlers, run on a
// simulated bus with a virtual clock, write into the window to be pictured. They are called
// directly rather than through Run(), which would wait in an event loop; at the end Form_Unload
// stops the timer and closes the device, and the window keeps what the program wrote.
#pragma once

#include "window/FormLayout.h"
#include "window/Window.h"

namespace screenshot {

// The diagnostics window some forty seconds after it opened on a wheel controller (beside a
// keyboard and a headset): the wheel turned left of centre, the E-STOP monitored and released.
void FillServodiag(ui::Window& window);

// servodiag --replay on three minutes the simulated wheel controller recorded, with a gap where it
// did not answer and one row spoilt, named on the state line.
ui::FormLayout ServodiagReplayLayout();
void FillServodiagReplay(ui::Window& window);

// The amplifier updater just after it found the servo amplifier.
void FillAmpflash(ui::Window& window);

// The wheel-controller updater just after it found the wheel controller.
void FillWheelflash(ui::Window& window);

// The wheel-controller updater with the servo amplifier on the bus too: the controller taken, the
// amplifier offered beside it.
void FillWheelflashChoice(ui::Window& window);

}  // namespace screenshot
