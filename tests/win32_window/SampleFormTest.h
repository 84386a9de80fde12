// The sample form loaded, shown and through its first events, as the Win32 form's tests start.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/win32_window/TestForm.h"
#include "window/win32/Win32Window.h"

namespace ui::test {

class SampleFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.Load(handlers);
        ASSERT_NE(window.FormHandle(), nullptr) << "no desktop: run under xvfb-run";
        window.Show();
        window.ProcessEvents();
    }
    HWND H(const char* name) const { return window.ControlHandle(name); }

    win32::Win32Window window{SampleForm()};
    LoggingHandlers handlers;
};

// The text a window shows: a form's title, a control's caption or value.
inline std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

}  // namespace ui::test
