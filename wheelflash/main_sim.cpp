// wheelflash-sim: wheelflash on a simulated bus, so the update can be tried without hardware.
// A keyboard enumerates first, then the wheel controller, which drops off the bus after the
// upgrade command and comes back about 1.5 s later waiting for the image; when the program lets
// go of it, it prints what it received on standard error. --sim-devices base puts the base unit
// there instead, which leaves its normal mode (2233) for the same image-receiving mode.
#include <memory>

#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/CaptureOption.h"
#include "hidlink/DeviceOptions.h"
#include "hidlink/sim/ExecutableDirectory.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Bystanders.h"
#include "simdevices/SimulatedSystem.h"
#include "simdevices/WheelController.h"
#include "updater/KeepAwake.h"
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
    // Before the first device call, so that the capture holds the whole run.
    hidlink::ProgramCapture capture(bus);
    if (const auto status = capture.Start(
            info, options, {updater::UpdateLogPath(updater::LoggedDevices::Simulated)}))
        return *status;
    if (const auto status =
            hidlink::SettleDeviceOptions(options, capture.Api(), wheelflash::kProfile))
        return *status;

    auto window =
        cmdline::CreateWindowFor(options, ui::SimulatedTwin(wheelflash::WheelflashLayout()),
                                 cmdline::UpdaterConsole(options, "Command4"));
    if (!window)
        return cmdline::kNoDisplay;
    // Outlives the form, which points to it.
    const auto awake = updater::SystemKeepAwake("wheelflash-sim");
    wheelflash::frmMain form(*window, capture.Api(), options.imagePath,
                             updater::UpdateLogPath(updater::LoggedDevices::Simulated),
                             hidlink::SelectorOf(options));
    form.AnswerUnattended(options.yes, options.force);
    form.KeepAwakeDuringUpdates(*awake);
    // A console closed or the session ended during the update ends the process: its attempt is
    // logged, as interrupted unless it ends by itself within the grace.
    return cmdline::RunForm(*window, form,
                            [&form](const std::string& cause) { form.LogInterrupted(cause); });
}
