#include "tools/screenshot/ScreenshotSubjects.h"

#include "tools/demo/DemoLayout.h"

namespace screenshot {

// Each program's window belongs here under its program's name, with its layout function and a
// fill that shows what the program would show with its device attached.
const std::map<std::string, Subject>& Subjects() {
    static const std::map<std::string, Subject> subjects = {
        {"demo", {demo::DemoLayout, demo::FillDemoWindow}},
    };
    return subjects;
}

}  // namespace screenshot
