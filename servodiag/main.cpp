// servodiag: diagnostics of the wheel controller on this machine's HID devices.
#include "cmdline/Launch.h"
#include "common/SystemText.h"
#include "hidlink/PlatformApi.h"
#include "servodiag/Layout.h"
#include "servodiag/ReplayLaunch.h"
#include "servodiag/RunServodiag.h"

int main(int argc, char** argv) {
    // Paths in UTF-8 on every platform: on Windows from the UTF-16 command line, so that an image
    // or a recording in a folder named in any script is found.
    common::Utf8Arguments arguments(argc, argv);
    // First, so that every library loaded after it (the window layer's too) comes from the
    // system directory only.
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    const cmdline::ProgramInfo info{cmdline::Program::Servodiag, false};
    cmdline::Options options;
    if (const auto status = servodiag::AnswerCommandLine(info, arguments, &options))
        return *status;
    return servodiag::RunServodiag(info, api, options, servodiag::ServodiagLayout());
}
