// What both updaters' main() does once the command line is answered and the devices (real or
// simulated) are on hand: the capture, the device options, the window, the keep-awake lock and
// the form, run to its end.
#pragma once

#include <string>

#include "cmdline/Launch.h"
#include "hidlink/CaptureOption.h"
#include "hidlink/DeviceOptions.h"
#include "updater/KeepAwake.h"

namespace updater {

// What sets one updater's run apart from the other's.
struct UpdaterProgram {
    const cmdline::ProgramInfo& info;
    const hidlink::DeviceProfile& profile;
    const ui::FormLayout& layout;
    // The button the console's Enter presses.
    std::string updateButton;
    // The name the keep-awake lock is asked for in.
    std::string keepAwakeName;
    std::string updateLogPath;
};

// Form is the updater's frmMain; returns the status the program exits with.
template <typename Form>
int RunUpdater(const UpdaterProgram& program, hidlink::ApiDeclarations& devices,
               const cmdline::Options& options) {
    // Before the first device call, so that the capture holds the whole run.
    hidlink::ProgramCapture capture(devices);
    if (const auto status = capture.Start(program.info, options, {program.updateLogPath}))
        return *status;
    if (const auto status = hidlink::SettleDeviceOptions(options, capture.Api(), program.profile))
        return *status;
    auto window = cmdline::CreateWindowFor(options, program.layout,
                                           cmdline::UpdaterConsole(options, program.updateButton));
    if (!window)
        return cmdline::kNoDisplay;
    // Outlives the form, which points to it.
    const auto awake = SystemKeepAwake(program.keepAwakeName);
    Form form(*window, capture.Api(), options.imagePath, program.updateLogPath,
              hidlink::SelectorOf(options));
    form.AnswerUnattended(options.yes, options.force);
    form.KeepAwakeDuringUpdates(*awake);
    // A console closed or the session ended during the update ends the process: its attempt is
    // logged, as interrupted unless it ends by itself within the grace.
    return cmdline::RunForm(*window, form,
                            [&form](const std::string& cause) { form.LogInterrupted(cause); });
}

}  // namespace updater
