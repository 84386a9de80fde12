#include "tools/screenshot/ScreenshotSubjects.h"

#include "tools/demo/DemoLayout.h"

namespace screenshot {

const std::map<std::string, Subject>& Subjects() {
    static const std::map<std::string, Subject> subjects = {
        {"demo", {demo::DemoLayout, demo::FillDemoWindow}},
    };
    return subjects;
}

}  // namespace screenshot
