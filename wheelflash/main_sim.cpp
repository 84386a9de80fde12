// wheelflash-sim: wheelflash on a simulated bus, so the update can be tried without hardware.
// A keyboard enumerates first, then the wheel controller, which drops off the bus after the
// upgrade command and comes back about 1.5 s later waiting for the image; when the program lets
// go of it, it prints what it received on standard error.
#include <memory>

#include "hidlink/sim/ExecutableDirectory.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/PlatformWindow.h"

int main(int /*argc*/, char** argv) {
    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.SetProgramDirectory(sim::ExecutableDirectory(argv[0]));
    bus.AddDevice(simdevices::MakeKeyboard());

    simdevices::WheelControllerOptions options;
    options.productId = 0xB02E;
    options.leaveAfterMs = 50;
    options.returnAfterMs = 1500;
    options.printSummaryOnClose = true;
    bus.AddDevice(std::make_shared<simdevices::WheelController>(options));

    auto window = ui::CreatePlatformWindow(ui::SimulatedTwin(wheelflash::WheelflashLayout()));
    wheelflash::frmMain form(*window, bus);
    return window->Run(form);
}
