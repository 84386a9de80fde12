// The controls of a form as the Win32 window holds them: the layout entry, its current state, and
// the child window that realises it (none for a Timer).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "window/FormLayout.h"
#include "window/win32/GdiResources.h"

namespace ui::win32 {

struct FormControl {
    ControlSpec spec;
    std::string text;
    bool enabled = true;
    bool visible = true;
    double width = 0;  // twips, as last set
    std::optional<ColorRef> backColor;
    int commandId = 0;  // child window id, or the timer id of a Timer
    HWND hwnd = nullptr;
    // Whether the child window changed since Refresh last redrew it; redrawing an unchanged one
    // paints the same pixels again (a progress bar moves by a pixel every few records).
    bool changedSinceRefresh = true;
    // A chooser's lines as the program gave them, and the line last chosen for good: the open
    // list moves the selection line by line, and Escape goes back to this one.
    std::vector<std::string> items;
    int committedChoice = -1;
};

// The window text that shows `text` in the control: a button's with its access key marked.
std::wstring WindowText(const ControlSpec& spec, const std::string& text);

class FormControls {
  public:
    explicit FormControls(const FormLayout& layout);

    std::vector<FormControl>& All() { return controls_; }
    FormControl* Find(const std::string& name);
    const FormControl* Find(const std::string& name) const;
    FormControl* FindByWindow(HWND hwnd);

    // Creates the child windows of every control but the timers, with fonts and initial state,
    // and stacks them so that they draw and tab correctly.
    void CreateWindows(HWND form, int dpi, GdiResources& gdi);
    void ForgetWindows();

    // Where the control stands in the form's client area, in pixels, at its current width.
    // Controls inside a frame are placed relative to the frame's top left.
    RECT PixelRect(const FormControl& control, int dpi) const;

    // Shown only when it and every frame around it are visible.
    bool EffectivelyVisible(const FormControl& control) const;
    // Applies EffectivelyVisible to the control and every control inside it.
    void ApplyVisibility(const FormControl& control);

    // The colour the control's background is painted with.
    static ColorRef BackColorOf(const FormControl& control);

  private:
    POINT OriginTwips(const FormControl& control) const;
    bool IsInside(const FormControl& inner, const FormControl& outer) const;
    void Stack();

    std::vector<FormControl> controls_;
    std::string windowName_;  // which program's window: the key of what its chart remembers
};

}  // namespace ui::win32
