// servodiag without a window (--no-window): after the identity, the settings printed once, then
// the status read on every tick, redrawn in place on a terminal or a line per reading elsewhere.
#pragma once

#include "servodiag/StatusReadout.h"
#include "window/TerminalView.h"

namespace servodiag {

// Adds the settings and the status to a console setup that prints the identity. The readout has
// to outlive the console window made with it.
void AddSettingsAndStatus(ui::ConsoleSetup& setup, StatusReadout& readout);

}  // namespace servodiag
