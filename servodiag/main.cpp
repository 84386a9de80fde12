// servodiag: diagnostics of the wheel controller on this machine's HID devices.
#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/CaptureOption.h"
#include "hidlink/DeviceOptions.h"
#include "hidlink/PlatformApi.h"
#include "servodiag/ConsoleSetup.h"
#include "servodiag/DiagnosticsRun.h"
#include "servodiag/Layout.h"
#include "servodiag/ReplayLaunch.h"
#include "servodiag/frmMain.h"

int main(int argc, char** argv) {
    // Paths in UTF-8 on every platform: on Windows from the UTF-16 command line, so that an image
    // or a recording in a folder named in any script is found.
    common::Utf8Arguments arguments(argc, argv);
    // First, so that every library loaded after it (the window layer's too) comes from the
    // system directory only.
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    const cmdline::ProgramInfo info{cmdline::Program::Servodiag, false};
    cmdline::Options options;
    if (const auto status =
            cmdline::AnswerCommandLine(info, arguments.Count(), arguments.Values(), "", &options))
        return *status;
    if (!options.replayPath.empty())
        return servodiag::ReplayFromCommandLine(options);
    // Before the first device call, so that the capture holds the whole run.
    hidlink::ProgramCapture capture(api);
    if (const auto status = capture.Start(info, options))
        return *status;
    if (const auto status =
            hidlink::SettleDeviceOptions(options, capture.Api(), servodiag::kProfile, true))
        return *status;
    servodiag::StatusReadout readout;
    ui::ConsoleSetup console = cmdline::ServodiagConsole();
    servodiag::AddSettingsAndStatus(console, readout);
    std::unique_ptr<ui::Window> window =
        cmdline::CreateWindowFor(options, servodiag::ServodiagLayout(), std::move(console));
    if (!window)
        return cmdline::kNoDisplay;
    servodiag::frmMain form(*window, capture.Api(), hidlink::SelectorOf(options));
    return servodiag::RunDiagnostics(*window, form, options.recordPath, readout, options.noWindow);
}
