// servodiag: diagnostics of the wheel controller on this machine's HID devices.
#include "cmdline/CaptureOption.h"
#include "cmdline/Launch.h"
#include "hidlink/PlatformApi.h"
#include "servodiag/ConsoleSetup.h"
#include "servodiag/DiagnosticsRun.h"
#include "servodiag/Layout.h"
#include "servodiag/ReplayLaunch.h"
#include "servodiag/frmMain.h"

int main(int argc, char** argv) {
    // First, so that every library loaded after it (the window layer's too) comes from the
    // system directory only.
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    const cmdline::ProgramInfo info{cmdline::Program::Servodiag, false};
    cmdline::Options options;
    if (const auto status = cmdline::AnswerCommandLine(info, argc, argv, "", &options))
        return *status;
    if (!options.replayPath.empty())
        return servodiag::ReplayFromCommandLine(options);
    // Before the first device call, so that the capture holds the whole run.
    cmdline::ProgramCapture capture(api);
    if (const auto status = capture.Start(info, options))
        return *status;
    if (const auto status =
            cmdline::SettleDeviceOptions(options, capture.Api(), servodiag::kProfile, true))
        return *status;
    servodiag::StatusReadout readout;
    ui::ConsoleSetup console = cmdline::ServodiagConsole();
    servodiag::AddSettingsAndStatus(console, readout);
    std::unique_ptr<ui::Window> window =
        cmdline::CreateWindowFor(options, servodiag::ServodiagLayout(), std::move(console));
    if (!window)
        return cmdline::kNoDisplay;
    servodiag::frmMain form(*window, capture.Api(), cmdline::SelectorOf(options));
    return servodiag::RunDiagnostics(*window, form, options.recordPath, readout, options.noWindow);
}
