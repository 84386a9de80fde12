// The tooltips of one form: a single tooltip window, created on first use, holding one tip per
// control window.
#pragma once

#include <windows.h>

#include <string>

namespace ui::win32 {

class ToolTips {
  public:
    // Gives `control` (a child of `form`) this tip; empty text removes it.
    void Set(HWND form, HWND control, const std::wstring& text);
    // The tooltip window, or null before the first tip. It belongs to the form and goes with it.
    HWND Handle() const { return tip_; }
    // The form is gone, and its tooltip window with it.
    void Forget() { tip_ = nullptr; }

  private:
    HWND tip_ = nullptr;
};

}  // namespace ui::win32
