#include "window/qt/DisplayCheck.h"

#include <algorithm>
#include <sstream>

namespace ui::qt {

namespace {

bool NeedsNoDisplayServer(const std::string& platform) {
    static const char* const kStandalone[] = {"offscreen", "minimal", "minimalegl",  "linuxfb",
                                              "eglfs",     "vnc",     "vkkhrdisplay"};
    return std::ranges::any_of(kStandalone, [&](const char* name) { return platform == name; });
}

}  // namespace

bool DisplayAvailable(const EnvironmentLookup& environment) {
    const auto set = [&](const char* name) {
        const std::optional<std::string> value = environment(name);
        return value && !value->empty();
    };
    if (set("DISPLAY") || set("WAYLAND_DISPLAY"))
        return true;
    // A list of platforms to try in turn ("wayland;xcb"), each maybe with ":options".
    std::istringstream platforms(environment("QT_QPA_PLATFORM").value_or(""));
    std::string platform;
    while (std::getline(platforms, platform, ';')) {
        if (NeedsNoDisplayServer(platform.substr(0, platform.find(':'))))
            return true;
    }
    return false;
}

}  // namespace ui::qt
