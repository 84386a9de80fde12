#include "tools/screenshot/ProgramFills.h"

#include <memory>

#include "ampflash/frmMain.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/frmMain.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/SimulatedSystem.h"
#include "simdevices/WheelController.h"
#include "wheelflash/frmMain.h"

namespace screenshot {

namespace {

// The simulated wheel swings within its stops and its E-STOP is pressed now and then; at this
// moment the angle is negative and fractional, the supply is on and the E-STOP is "OK".
constexpr int kServodiagSecondsOpen = 40;
constexpr int kServodiagTicks = 3;
constexpr int kTimerIntervalMs = 200;

}  // namespace

void FillServodiag(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(simdevices::MakeHeadset());
    simdevices::WheelControllerOptions wheel;
    wheel.productId = 0x1020;
    bus.AddDevice(std::make_shared<simdevices::WheelController>(wheel));

    servodiag::frmMain form(window, bus);
    form.Form_Load();
    // Every tick of the time open, so that the chart holds its readings.
    for (int tick = 0; tick < kServodiagSecondsOpen * 1000 / kTimerIntervalMs + kServodiagTicks;
         ++tick) {
        clock.Advance(kTimerIntervalMs);
        form.Timer_Timer();
    }
    form.Form_Unload();
}

void FillAmpflash(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(std::make_shared<simdevices::Amplifier>());
    ampflash::frmMain form(window, bus);
    form.Form_Load();
    form.Form_Unload();
}

void FillWheelflash(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(std::make_shared<simdevices::WheelController>());
    wheelflash::frmMain form(window, bus);
    form.Form_Load();
    form.Form_Unload();
}

void FillWheelflashChoice(ui::Window& window) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    simdevices::AddSimulatedDevices(bus, {"amplifier", "controller"}, {}, {});
    wheelflash::frmMain form(window, bus);
    form.Form_Load();
    form.Form_Unload();
}

}  // namespace screenshot
