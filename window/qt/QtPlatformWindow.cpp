#include "window/PlatformWindow.h"

#include <cstdlib>

#include "window/qt/DisplayCheck.h"
#include "window/qt/QtWindow.h"
#include "window/qt/SignalCloseRequests.h"

namespace ui {

std::unique_ptr<Window> CreatePlatformWindow(const FormLayout& layout) {
    auto window = std::make_unique<qt::QtWindow>(layout);
    qt::CloseOnSignals(window->Form());
    return window;
}

bool CanOpenWindows() {
    return qt::DisplayAvailable([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr)
            return std::nullopt;
        return std::string(value);
    });
}

// A Linux program started from a terminal already writes to it.
void UseParentConsole() {}

}  // namespace ui
