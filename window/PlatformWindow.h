// The window toolkit linked into a program: Qt 6 Widgets on Linux, Win32 on Windows.
#pragma once

#include <memory>

#include "window/Window.h"

namespace ui {

std::unique_ptr<Window> CreatePlatformWindow(const FormLayout& layout);

// Whether a window can be opened at all (on Linux: a display to show it on). Asked before the
// first window, since Qt aborts the process when it finds none.
bool CanOpenWindows();

// Lets standard output, error and input reach the terminal the program was started from when
// they lead nowhere: Windows gives a program with a window no console of its own.
void UseParentConsole();

}  // namespace ui
