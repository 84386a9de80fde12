// ampflash-sim: ampflash on a simulated bus (a keyboard, then the servo amplifier, or the devices
// of --sim-devices), in real time, with the image beside this program. Tells on standard error what
// the amplifier (or the base unit's amplifier bootloader) received.
#include <memory>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/sim/ExecutableDirectory.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/SimulatedSystem.h"
#include "updater/RunUpdater.h"
#include "updater/UpdateLog.h"

int main(int argc, char** argv) {
    // Paths in UTF-8 on every platform: on Windows from the UTF-16 command line, so that an image
    // or a recording in a folder named in any script is found.
    common::Utf8Arguments arguments(argc, argv);
    const cmdline::ProgramInfo info{cmdline::Program::Ampflash, true};
    cmdline::Options options;
    if (const auto status = cmdline::AnswerCommandLine(
            info, arguments.Count(), arguments.Values(),
            updater::UpdateLogPath(updater::LoggedDevices::Simulated), &options))
        return *status;

    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.SetProgramDirectory(sim::ExecutableDirectory(arguments.Values()[0]));
    bus.AddDevice(simdevices::MakeKeyboard());
    simdevices::AmplifierOptions amplifier;
    amplifier.printSummaryOnReturn = true;
    simdevices::BaseUnitOptions base;
    base.printSummaries = true;
    if (options.simDevices.empty())
        bus.AddDevice(std::make_shared<simdevices::Amplifier>(amplifier));
    else
        simdevices::AddSimulatedDevices(bus, options.simDevices, amplifier, {}, base);
    return updater::RunUpdater<ampflash::frmMain>(
        {info, ampflash::kProfile, ui::SimulatedTwin(ampflash::AmpflashLayout()), "btnUpgradeFW",
         "ampflash-sim", updater::UpdateLogPath(updater::LoggedDevices::Simulated)},
        bus, options);
}
