// ampflash: updates the servo amplifier's firmware from the image named on the command line, or
// the one beside the program.
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/CaptureOption.h"
#include "hidlink/DeviceOptions.h"
#include "hidlink/PlatformApi.h"
#include "updater/KeepAwake.h"
#include "updater/UpdateLog.h"

int main(int argc, char** argv) {
    // Paths in UTF-8 on every platform: on Windows from the UTF-16 command line, so that an image
    // or a recording in a folder named in any script is found.
    common::Utf8Arguments arguments(argc, argv);
    // First, so that every library loaded after it (the window layer's too) comes from the
    // system directory only.
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    const cmdline::ProgramInfo info{cmdline::Program::Ampflash, false};
    cmdline::Options options;
    if (const auto status = cmdline::AnswerCommandLine(info, arguments.Count(), arguments.Values(),
                                                       updater::UpdateLogPath(), &options))
        return *status;
    // Before the first device call, so that the capture holds the whole run.
    hidlink::ProgramCapture capture(api);
    if (const auto status = capture.Start(info, options, {updater::UpdateLogPath()}))
        return *status;
    if (const auto status =
            hidlink::SettleDeviceOptions(options, capture.Api(), ampflash::kProfile))
        return *status;
    auto window = cmdline::CreateWindowFor(options, ampflash::AmpflashLayout(),
                                           cmdline::UpdaterConsole(options, "btnUpgradeFW"));
    if (!window)
        return cmdline::kNoDisplay;
    // Outlives the form, which points to it.
    const auto awake = updater::SystemKeepAwake("ampflash");
    ampflash::frmMain form(*window, capture.Api(), options.imagePath, updater::UpdateLogPath(),
                           hidlink::SelectorOf(options));
    form.AnswerUnattended(options.yes, options.force);
    form.KeepAwakeDuringUpdates(*awake);
    // A console closed or the session ended during the update ends the process: its attempt is
    // logged, as interrupted unless it ends by itself within the grace.
    return cmdline::RunForm(*window, form,
                            [&form](const std::string& cause) { form.LogInterrupted(cause); });
}
