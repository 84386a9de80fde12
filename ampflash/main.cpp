// ampflash: updates the servo amplifier's firmware from the image named on the command line, or
// the one beside the program.
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/PlatformApi.h"
#include "updater/RunUpdater.h"
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
    return updater::RunUpdater<ampflash::frmMain>(
        {info, ampflash::kProfile, ampflash::AmpflashLayout(), "btnUpgradeFW", "ampflash",
         updater::UpdateLogPath()},
        api, options);
}
