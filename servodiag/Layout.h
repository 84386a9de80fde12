// The diagnostics window, written once as data for every toolkit.
#pragma once

#include "window/FormLayout.h"

namespace servodiag {

ui::FormLayout ServodiagLayout();

}  // namespace servodiag
