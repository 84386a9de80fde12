// The form's controls as Win32 assistive technology (MSAA, and UI Automation through it) reads
// them: names and values annotated on each child window, and changes announced with
// NotifyWinEvent.
#pragma once

#include <windows.h>

#include <string>

#include "window/Accessibility.h"
#include "window/win32/FormControls.h"

struct IAccPropServices;

namespace ui::win32 {

class AccessibleNames {
  public:
    AccessibleNames();
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    // Names every control whose name is not simply its own text (value controls by their
    // caption, the chooser, the progress fill). Without the annotation service, screen readers
    // still find a value control's caption: it is the static just before it (FormControls).
    void Name(const FormLayout& layout, FormControls& controls);
    // After a control's text changed: announced when the layout says so.
    static void TextChanged(const FormControl& control);
    // After the progress fill's width changed: its value, announced at most once a second.
    void WidthChanged(const FormControl& control);

  private:
    void SetName(HWND hwnd, const std::string& text);
    void SetProperty(HWND hwnd, const GUID& property, const std::string& text);

    IAccPropServices* services_ = nullptr;
    bool comStarted_ = false;
    FormLayout layout_;
    AnnouncementPacing progressPacing_;
};

}  // namespace ui::win32
