#include "tools/screenshot/ScreenshotSubjects.h"

#include "ampflash/Layout.h"
#include "servodiag/Layout.h"
#include "tools/demo/DemoLayout.h"
#include "tools/screenshot/ProgramFills.h"
#include "wheelflash/Layout.h"

namespace screenshot {

// Each program's window under its program's name, with its layout function and a fill that
// shows what the program would show with its device attached.
const std::map<std::string, Subject>& Subjects() {
    static const std::map<std::string, Subject> subjects = {
        {"demo", {demo::DemoLayout, demo::FillDemoWindow}},
        {"servodiag", {servodiag::ServodiagLayout, FillServodiag}},
        {"servodiag-replay", {ServodiagReplayLayout, FillServodiagReplay}},
        {"ampflash", {ampflash::AmpflashLayout, FillAmpflash}},
        {"wheelflash", {wheelflash::WheelflashLayout, FillWheelflash}},
        {"wheelflash-choice", {wheelflash::WheelflashLayout, FillWheelflashChoice}},
    };
    return subjects;
}

}  // namespace screenshot
