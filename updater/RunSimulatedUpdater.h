// What both updaters' -sim main() does: the command line, then a bus in real time with the images
// beside the program, a keyboard enumerating first as on a real machine, the program's devices
// after it, and the updater run on them.
#pragma once

#include <memory>
#include <string>

#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/sim/ExecutableDirectory.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Bystanders.h"
#include "simdevices/SimulatedSystem.h"
#include "updater/RunUpdater.h"
#include "updater/UpdateLog.h"

namespace updater {

// The devices after the keyboard: the one `alone` without --sim-devices, else the kinds it names,
// made from these options; each tells on standard error what it received.
struct SimulatedDevices {
    enum class Alone { Amplifier, Controller };
    Alone alone = Alone::Amplifier;
    simdevices::AmplifierOptions amplifier;
    simdevices::WheelControllerOptions controller;
};

inline std::shared_ptr<sim::SimDevice> DeviceAlone(const SimulatedDevices& devices) {
    if (devices.alone == SimulatedDevices::Alone::Amplifier)
        return std::make_shared<simdevices::Amplifier>(devices.amplifier);
    return std::make_shared<simdevices::WheelController>(devices.controller);
}

// Form is the updater's frmMain, layout the real program's window (shown as its simulated twin);
// returns the status the program exits with.
template <typename Form>
int RunSimulatedUpdater(int argc, char** argv, cmdline::Program which,
                        const hidlink::DeviceProfile& profile, const ui::FormLayout& layout,
                        const std::string& updateButton, const SimulatedDevices& devices) {
    // Paths in UTF-8 on every platform: on Windows from the UTF-16 command line, so that an image
    // or a recording in a folder named in any script is found.
    common::Utf8Arguments arguments(argc, argv);
    const cmdline::ProgramInfo info{which, true};
    const std::string updateLogPath = UpdateLogPath(LoggedDevices::Simulated);
    cmdline::Options options;
    if (const auto status = cmdline::AnswerCommandLine(info, arguments.Count(), arguments.Values(),
                                                       updateLogPath, &options))
        return *status;

    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.SetProgramDirectory(sim::ExecutableDirectory(arguments.Values()[0]));
    bus.AddDevice(simdevices::MakeKeyboard());
    simdevices::BaseUnitOptions base;
    base.printSummaries = true;
    if (options.simDevices.empty())
        bus.AddDevice(DeviceAlone(devices));
    else
        simdevices::AddSimulatedDevices(bus, options.simDevices, devices.amplifier,
                                        devices.controller, base);
    return RunUpdater<Form>({info, profile, ui::SimulatedTwin(layout), updateButton,
                             cmdline::ProgramName(info), updateLogPath},
                            bus, options);
}

}  // namespace updater
