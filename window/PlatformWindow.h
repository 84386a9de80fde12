// The window toolkit linked into a program: Qt 6 Widgets on Linux, Win32 on Windows.
#pragma once

#include <memory>

#include "window/Window.h"

namespace ui {

std::unique_ptr<Window> CreatePlatformWindow(const FormLayout& layout);

}  // namespace ui
