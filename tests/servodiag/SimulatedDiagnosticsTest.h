// servodiag's form on a headless window, with servodiag-sim's wheel controller alone on a bus in
// virtual time: the start of the tests that watch the simulated values go through the program.
#pragma once

#include <gtest/gtest.h>

#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "simdevices/WheelController.h"
#include "window/headless/HeadlessWindow.h"

namespace servodiag::testing {

class SimulatedDiagnosticsTest : public ::testing::Test {
  protected:
    SimulatedDiagnosticsTest() { bus.AddDevice(simdevices::MakeDiagnosticsWheel()); }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    ui::HeadlessWindow window{ServodiagLayout()};
    frmMain form{window, bus};
};

}  // namespace servodiag::testing
