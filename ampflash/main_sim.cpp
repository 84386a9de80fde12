// ampflash-sim: ampflash on a simulated bus (a keyboard, then the servo amplifier), in real time,
// with the image beside this program. Tells on standard error what the amplifier received.
#include <filesystem>
#include <memory>
#include <system_error>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "window/PlatformWindow.h"

namespace {

// The directory of this executable, as the real programs take theirs from the platform.
std::string ExecutableDirectory(const char* argv0) {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        exe = std::filesystem::absolute(argv0, error);
    return exe.parent_path().string();
}

}  // namespace

int main(int /*argc*/, char** argv) {
    sim::RealClock clock;
    sim::SimulatedBus bus(clock);
    bus.SetProgramDirectory(ExecutableDirectory(argv[0]));
    bus.AddDevice(simdevices::MakeKeyboard());
    simdevices::AmplifierOptions amplifier;
    amplifier.printSummaryOnReturn = true;
    bus.AddDevice(std::make_shared<simdevices::Amplifier>(amplifier));

    auto window = ui::CreatePlatformWindow(ampflash::AmpflashLayout());
    ampflash::frmMain form(*window, bus);
    return window->Run(form);
}
