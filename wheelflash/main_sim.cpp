// wheelflash-sim: wheelflash on a simulated bus, so the update can be tried without hardware.
// A keyboard enumerates first, then the wheel controller, which drops off the bus after the
// upgrade command and comes back about 1.5 s later waiting for the image; when the program lets
// go of it, it prints what it received on standard error. --sim-devices base puts the base unit
// there instead, which leaves its normal mode (2233) for the same image-receiving mode.
#include <memory>

#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/sim/ExecutableDirectory.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Bystanders.h"
#include "simdevices/SimulatedSystem.h"
#include "simdevices/WheelController.h"
#include "updater/RunUpdater.h"
#include "updater/UpdateLog.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"

int main(int argc, char** argv) {
    // Paths in UTF-8 on every platform: on Windows from the UTF-16 command line, so that an image
    // or a recording in a folder named in any script is found.
    common::Utf8Arguments arguments(argc, argv);
    const cmdline::ProgramInfo info{cmdline::Program::Wheelflash, true};
    cmdline::Options options;
    if (const auto status = cmdline::AnswerCommandLine(
            info, arguments.Count(), arguments.Values(),
            updater::UpdateLogPath(updater::LoggedDevices::Simulated), &options))
        return *status;

    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.SetProgramDirectory(sim::ExecutableDirectory(arguments.Values()[0]));
    bus.AddDevice(simdevices::MakeKeyboard());

    simdevices::WheelControllerOptions wheel;
    wheel.productId = 0xB02E;
    wheel.leaveAfterMs = 50;
    wheel.returnAfterMs = 1500;
    wheel.printSummaryOnClose = true;
    simdevices::BaseUnitOptions base;
    base.printSummaries = true;
    if (options.simDevices.empty())
        bus.AddDevice(std::make_shared<simdevices::WheelController>(wheel));
    else
        simdevices::AddSimulatedDevices(bus, options.simDevices, {}, wheel, base);
    return updater::RunUpdater<wheelflash::frmMain>(
        {info, wheelflash::kProfile, ui::SimulatedTwin(wheelflash::WheelflashLayout()), "Command4",
         "wheelflash-sim", updater::UpdateLogPath(updater::LoggedDevices::Simulated)},
        bus, options);
}
