#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace ui {

std::unique_ptr<Window> CreatePlatformWindow(const FormLayout& layout) {
    return std::make_unique<qt::QtWindow>(layout);
}

}  // namespace ui
