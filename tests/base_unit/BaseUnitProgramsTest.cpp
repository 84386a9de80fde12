// servodiag on the base unit, the device that answers 2233 in its normal mode and takes both
// updates, on the simulated bus.
#include <gtest/gtest.h>

#include <memory>

#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "simdevices/BaseUnit.h"
#include "simdevices/Bystanders.h"
#include "window/headless/HeadlessWindow.h"

namespace {

// servodiag on the base unit in its normal mode: its identity, settings and status, and nothing
// sent. The updaters' whole updates of the unit are swept with the other devices' behaviours in
// the fault matrix's device-space test.
TEST(BaseUnitPrograms, ServodiagShowsTheUnitAndSendsNothing) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(std::make_shared<simdevices::BaseUnit>());
    ui::HeadlessWindow window(servodiag::ServodiagLayout());
    servodiag::frmMain form(window, bus);
    window.Load(form);
    for (int tick = 0; tick < 5; ++tick) {
        clock.Advance(200);
        window.Tick();
    }
    EXPECT_EQ(window.Text("lblProduct"), " Drivanta v2 Wheel Base");
    EXPECT_EQ(window.Text("lblSerialNumber"), " DV2B-003156");
    // A settings field and status fields, as the unit reports them.
    EXPECT_NE(window.Text("Homing").find("1250"), std::string::npos) << window.Text("Homing");
    EXPECT_EQ(window.Text("amp_sn"), "20417");
    EXPECT_EQ(window.Text("motor_model"), "6010");
    EXPECT_EQ(window.Text("estop"), "OK");
    EXPECT_TRUE(bus.CallsNamed("HidD_SetFeature").empty());
    EXPECT_TRUE(window.RequestClose());
    EXPECT_TRUE(bus.HandleProblems().empty()) << ::testing::PrintToString(bus.HandleProblems());
}

}  // namespace
