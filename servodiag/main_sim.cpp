// servodiag-sim: the diagnostics window on a simulated bus, for trying it without hardware. A
// keyboard and a headset enumerate before the wheel controller, as on a real machine; the
// controller can be made to leave the bus and come back (--unplug-at, --replug-at). With
// --sim-devices the bus holds the devices named instead of the one controller.
#include <memory>

#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/ReplayLaunch.h"
#include "servodiag/RunServodiag.h"
#include "simdevices/Bystanders.h"
#include "simdevices/SimulatedSystem.h"
#include "simdevices/WheelController.h"

namespace {

std::int64_t Milliseconds(const std::optional<double>& seconds) {
    return seconds ? static_cast<std::int64_t>(*seconds * 1000) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    // Paths in UTF-8 on every platform: on Windows from the UTF-16 command line, so that an image
    // or a recording in a folder named in any script is found.
    common::Utf8Arguments arguments(argc, argv);
    const cmdline::ProgramInfo info{cmdline::Program::Servodiag, true};
    cmdline::Options options;
    if (const auto status = servodiag::AnswerCommandLine(info, arguments, &options))
        return *status;

    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    bus.AddDevice(simdevices::MakeHeadset());
    simdevices::WheelControllerOptions wheelOptions;
    wheelOptions.productId = 0x1020;
    std::vector<std::shared_ptr<sim::SimDevice>> devices;
    if (options.simDevices.empty()) {
        devices.push_back(std::make_shared<simdevices::WheelController>(wheelOptions));
        bus.AddDevice(devices.back());
    } else {
        devices = simdevices::AddSimulatedDevices(bus, options.simDevices, {}, wheelOptions);
    }
    // The first device leaves and comes back, as the options say.
    if (options.unplugAt)
        devices.front()->PlanUnplug(Milliseconds(options.unplugAt), Milliseconds(options.replugAt));
    return servodiag::RunServodiag(info, bus, options,
                                   ui::SimulatedTwin(servodiag::ServodiagLayout()));
}
