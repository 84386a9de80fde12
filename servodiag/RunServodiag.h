// What servodiag's main() does once the command line is answered and the devices (real or
// simulated) are on hand: the capture, the device options, the window and the diagnostics run.
// Inline, as each main links the launch and device-option libraries the logic library does not.
#pragma once

#include <memory>
#include <utility>

#include "cmdline/Launch.h"
#include "hidlink/CaptureOption.h"
#include "hidlink/DeviceOptions.h"
#include "servodiag/ConsoleSetup.h"
#include "servodiag/DiagnosticsRun.h"
#include "servodiag/frmMain.h"

namespace servodiag {

// Returns the status the program exits with.
inline int RunServodiag(const cmdline::ProgramInfo& info, hidlink::ApiDeclarations& devices,
                        const cmdline::Options& options, const ui::FormLayout& layout) {
    // Before the first device call, so that the capture holds the whole run.
    hidlink::ProgramCapture capture(devices);
    if (const auto status = capture.Start(info, options))
        return *status;
    if (const auto status = hidlink::SettleDeviceOptions(options, capture.Api(), kProfile, true))
        return *status;
    StatusReadout readout;
    ui::ConsoleSetup console = cmdline::ServodiagConsole();
    AddSettingsAndStatus(console, readout);
    std::unique_ptr<ui::Window> window =
        cmdline::CreateWindowFor(options, layout, std::move(console));
    if (!window)
        return cmdline::kNoDisplay;
    frmMain form(*window, capture.Api(), hidlink::SelectorOf(options));
    return RunDiagnostics(*window, form, options.recordPath, readout, options.noWindow);
}

}  // namespace servodiag
