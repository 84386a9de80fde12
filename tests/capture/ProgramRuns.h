// The three programs' flows on any ApiDeclarations, in a headless window, so the same run can be
// captured on the simulated bus and replayed on the emulated device. Each returns what the user
// saw: every change of the window, in order.
#pragma once

#include <string>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/sim/SimClock.h"

namespace capture_test {

enum class Run {
    Diagnostics,      // servodiag: identity, settings, five status reads
    AmplifierUpdate,  // ampflash: one click with the image at imagePath
    WheelUpdate,      // wheelflash: the whole upgrade sequence
};

std::string RunProgram(Run run, hidlink::ApiDeclarations& api, sim::VirtualClock& clock,
                       const std::string& imagePath);

}  // namespace capture_test
