// servodiag-sim: the diagnostics window on a simulated bus, for trying it without hardware. A
// keyboard and a headset enumerate before the wheel controller, as on a real machine.
#include <memory>

#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "window/PlatformWindow.h"

int main() {
    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(simdevices::MakeHeadset());
    simdevices::WheelControllerOptions wheel;
    wheel.productId = 0x1020;
    bus.AddDevice(std::make_shared<simdevices::WheelController>(wheel));

    std::unique_ptr<ui::Window> window =
        ui::CreatePlatformWindow(ui::SimulatedTwin(servodiag::ServodiagLayout()));
    servodiag::frmMain form(*window, bus);
    return window->Run(form);
}
