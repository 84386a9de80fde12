// ampflash-sim: ampflash on a simulated bus (a keyboard, then the servo amplifier), in real time,
// with the image beside this program. Tells on standard error what the amplifier received.
#include <memory>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/sim/ExecutableDirectory.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "window/PlatformWindow.h"

int main(int /*argc*/, char** argv) {
    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.SetProgramDirectory(sim::ExecutableDirectory(argv[0]));
    bus.AddDevice(simdevices::MakeKeyboard());
    simdevices::AmplifierOptions amplifier;
    amplifier.printSummaryOnReturn = true;
    bus.AddDevice(std::make_shared<simdevices::Amplifier>(amplifier));

    auto window = ui::CreatePlatformWindow(ui::SimulatedTwin(ampflash::AmpflashLayout()));
    ampflash::frmMain form(*window, bus);
    return window->Run(form);
}
