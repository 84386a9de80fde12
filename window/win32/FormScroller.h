// A form taller than its screen's work area (a large text scale on a small screen) scrolls: the
// window is cut to the work area and gains a vertical scroll bar; the bar, the mouse wheel and the
// keyboard's focus move the controls. Where the form fits, the window is exactly the form.
#pragma once

#include <windows.h>

namespace ui::win32 {

class FormScroller {
  public:
    FormScroller(DWORD style, DWORD exStyle) : style_(style), exStyle_(exStyle) {}

    // Sizes `form` for client content of `width` by `height` pixels: whole where the work area of
    // its monitor has room, else as tall as the work area, scrolled. Call again when the content's
    // height or its DPI changes.
    void Fit(HWND form, int width, int height, int dpi);
    // The window's size that Fit would give, on the monitor `form` is on now.
    SIZE FittedSize(HWND form, int width, int height, int dpi) const;
    // How far the content is scrolled up, in pixels: what a control placed by its layout position
    // must be moved by.
    int Offset() const { return offset_; }
    void OnScrollBar(HWND form, WPARAM request);
    void OnWheel(HWND form, WPARAM wheel);
    // Scrolls `control` (a descendant of the form) into view, if it is out of view.
    void Reveal(HWND form, HWND control);

  private:
    struct Fitted {
        SIZE size;
        bool scrolls;
        RECT work;
    };
    Fitted FitOnMonitor(HWND form, int width, int height, int dpi) const;
    void ScrollTo(HWND form, int offset);

    DWORD style_;
    DWORD exStyle_;
    int content_ = 0;
    int offset_ = 0;
};

}  // namespace ui::win32
