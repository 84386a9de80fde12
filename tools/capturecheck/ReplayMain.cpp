// capture-replay PROGRAM CAPTURE [OPTION]...: runs an updater as its main() runs it, with the
// options given, on the emulated device that serves CAPTURE, and says whether the run made the
// captured calls without a difference, or names the first call that differed. PROGRAM is
// ampflash or wheelflash (with or without -sim, for the options it takes). servodiag is not
// offered: without a window it reads until Ctrl+C, so its runs are replayed in the tests, with
// as many status reads as the capture holds. Status 0 when the whole capture was replayed.
// --capture writes the replay's own calls, so that --capture-anonymous hides an existing
// capture's serials.
#include <cstdio>
#include <fstream>
#include <vector>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "cmdline/Launch.h"
#include "hidlink/CaptureOption.h"
#include "hidlink/DeviceOptions.h"
#include "hidlink/capture/EmulatedDevice.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"

namespace {

template <class Form>
int RunUpdater(const cmdline::Options& options, hidlink::ApiDeclarations& api,
               const hidlink::DeviceProfile& profile, const ui::FormLayout& layout,
               const char* button) {
    if (const auto status = hidlink::SettleDeviceOptions(options, api, profile))
        return *status;
    auto window =
        cmdline::CreateWindowFor(options, layout, cmdline::UpdaterConsole(options, button));
    if (!window)
        return cmdline::kNoDisplay;
    // No update log: the replay is not an update of anything.
    Form form(*window, api, options.imagePath, "", hidlink::SelectorOf(options));
    form.AnswerUnattended(options.yes, options.force);
    return cmdline::RunForm(*window, form);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: capture-replay ampflash|wheelflash[-sim] CAPTURE [OPTION]...\n");
        return 2;
    }
    const std::string program = argv[1];
    const bool simulated = program.ends_with("-sim");
    const std::string name = simulated ? program.substr(0, program.size() - 4) : program;
    if (name != "ampflash" && name != "wheelflash") {
        std::fprintf(stderr, "capture-replay: replays ampflash or wheelflash, not %s\n",
                     program.c_str());
        return 2;
    }
    const cmdline::ProgramInfo info{
        name == "ampflash" ? cmdline::Program::Ampflash : cmdline::Program::Wheelflash, simulated};
    const cmdline::Options options =
        cmdline::ParseCommandLine(info, std::vector<std::string>(argv + 3, argv + argc));
    if (options.action != cmdline::Action::Run) {
        std::fprintf(stderr, "capture-replay: %s\n", options.problem.c_str());
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    std::string problem;
    const auto capture = in ? hidlink::ReadCapture(in, &problem) : std::nullopt;
    if (!capture) {
        std::fprintf(stderr, "capture-replay: %s: %s\n", argv[2],
                     in ? problem.c_str() : "cannot be read");
        return 2;
    }

    sim::VirtualClock clock;
    hidlink::EmulatedDevice device(*capture, clock);
    // --capture takes the replay's calls: with --capture-anonymous, a capture made shareable.
    hidlink::ProgramCapture recapture(device);
    if (const auto status = recapture.Start(info, options, {argv[2]}))
        return *status;
    const int status =
        info.program == cmdline::Program::Ampflash
            ? RunUpdater<ampflash::frmMain>(options, recapture.Api(), ampflash::kProfile,
                                            ampflash::AmpflashLayout(), "btnUpgradeFW")
            : RunUpdater<wheelflash::frmMain>(options, recapture.Api(), wheelflash::kProfile,
                                              wheelflash::WheelflashLayout(), "Command4");
    if (device.Finished()) {
        std::printf("capture-replay: %zu calls replayed without a difference (status %d)\n",
                    capture->size(), status);
        return 0;
    }
    std::printf("capture-replay: %s\n",
                device.Mismatch().empty()
                    ? ("the run ended after " + std::to_string(device.CallsServed()) + " of " +
                       std::to_string(capture->size()) + " calls")
                          .c_str()
                    : device.Mismatch().c_str());
    return 1;
}
