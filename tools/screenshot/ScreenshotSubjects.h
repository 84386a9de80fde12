// The windows the screenshot tool knows by name.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "window/FormLayout.h"
#include "window/Window.h"

namespace screenshot {

struct Subject {
    std::function<ui::FormLayout()> layout;
    // Puts the values a running program would show into the window; may be empty.
    std::function<void(ui::Window&)> fill;
};

const std::map<std::string, Subject>& Subjects();

}  // namespace screenshot
